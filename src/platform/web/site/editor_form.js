// The level editor's form, drawn from the level as plain data (editor_level.js): the header's
// fields, and a row's fields as the checker's table of actions (`forms`) lists its arguments,
// with the names the site's data hold (`names`) to choose from.
import { secondsOf } from "./editor_level.js";

// The keys of the level's rows the arguments of the checker's action table go to.
const ARGUMENT_KEYS = { X: "x", Y: "y", HOLD: "hold", FADE_IN: "fadeIn", FADE_OUT: "fadeOut",
                        FILE: "text" };

function option(value, label = value) {
  const element = document.createElement("option");
  element.value = value;
  element.textContent = label;
  return element;
}

// A list of the data's names with `value` among them, marked when the data lack it.
export function fillSelect(select, list, value) {
  const all = list.includes(value) || value === "" ? list : [value, ...list];
  select.replaceChildren(...all.map((name) =>
    option(name, list.includes(name) || !list.length ? name : `${name} (not in the data)`)));
  select.value = value;
}

export function showHeader(level, names) {
  const $ = (id) => document.getElementById(id);
  $("name").value = level.name;
  fillSelect($("background"), names.pictures, level.background);
  fillSelect($("music"), names.music, level.music);
  $("won-at").value = level.wonAt;
}

function labelled(text, control) {
  const label = document.createElement("label");
  label.className = "field";
  label.append(text, control);
  return label;
}

function argumentFields(row, form, names) {
  return form.arguments.map((argument) => {
    const key = ARGUMENT_KEYS[argument.name];
    let control;
    if (argument.file) {
      control = document.createElement("select");
      fillSelect(control, names.texts, row[key]);
    } else {
      control = document.createElement("input");
      Object.assign(control, { type: "number", min: argument.min, max: argument.max });
      control.value = row[key];
      control.disabled = argument.bus && row.atBus;
    }
    control.dataset.key = key;
    const words = argument.name.replace("_", " ").toLowerCase();
    const field = labelled(words[0].toUpperCase() + words.slice(1), control);
    if (!argument.bus) return field;
    const bus = document.createElement("input");
    Object.assign(bus, { type: "checkbox", checked: row.atBus, className: "at-bus" });
    const check = document.createElement("label");
    check.className = "check";
    check.append(bus, "at the bus");
    const both = document.createElement("span");
    both.className = "bar";
    both.append(field, check);
    return both;
  });
}

export function rowItem(row, index, forms, names) {
  const template = document.getElementById("row-template");
  const item = template.content.firstElementChild.cloneNode(true);
  const title = `Row ${index + 1}`;
  item.querySelector(".row-title").textContent = title;
  item.setAttribute("aria-label", title);
  item.querySelector(".frame").value = row.frame;
  item.querySelector(".when").textContent = secondsOf(row.frame);
  const action = item.querySelector(".action");
  action.replaceChildren(...forms.actions.map((form) => option(form.word)));
  action.value = row.action;
  const form = forms.actions.find((f) => f.word === row.action) || forms.actions[0];
  item.querySelector(".arguments").replaceChildren(...argumentFields(row, form, names));
  item.querySelector(".every").value = row.every;
  item.querySelector(".times").value = row.times;
  item.querySelector(".times").max = forms.maxRepeats;
  item.querySelector(".duplicate").setAttribute("aria-label", `Duplicate row ${index + 1}`);
  item.querySelector(".remove").setAttribute("aria-label", `Remove row ${index + 1}`);
  return item;
}
