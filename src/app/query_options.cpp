// The address's parameters as command-line arguments, for the command line's table.
#include "app/query_options.h"

bool ReadQueryOptions(const std::vector<TQueryParameter>& parameters, TOptions& options,
                      std::vector<std::string>& notes, std::string& error) {
  std::vector<std::string> args;
  for (const TQueryParameter& parameter : parameters) {
    if (!TakesOption(TOptionSource::Address, parameter.Name)) {
      notes.push_back("unrecognized option '" + parameter.Name +
                      "' in the address; the game starts without it");
      continue;
    }
    // The value joined to its name, so that one starting with '-' is never an option.
    args.push_back("--" + parameter.Name + (parameter.Value.empty() ? "" : "=" + parameter.Value));
  }
  std::string text;
  if (ReadOptions(args, TOptionSource::Address, options, text) == TOptionsResult::Run) return true;
  error = text;
  return false;
}
