// A static web server on 127.0.0.1 for the tests and the probe: URL prefixes mapped to folders
// (the built site, the tests' own data), with the types a browser needs for the program.
import fs from "node:fs";
import http from "node:http";
import path from "node:path";

const TYPES = { ".html": "text/html", ".css": "text/css", ".js": "text/javascript", ".wasm": "application/wasm",
                ".svg": "image/svg+xml", ".md": "text/plain", ".txt": "text/plain",
                ".png": "image/png", ".webmanifest": "application/manifest+json" };

// `mounts`: { "/": siteFolder, "/fixtures/": folder, ... }. Resolves to { url, close }.
export async function serve(folders) {
  const mounts = Object.fromEntries(
    Object.entries(folders).map(([prefix, folder]) => [prefix, path.resolve(folder)]));
  const prefixes = Object.keys(mounts).sort((a, b) => b.length - a.length);
  const server = http.createServer((request, response) => {
    const pathname = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
    const prefix = prefixes.find((p) => pathname.startsWith(p));
    const file = path.join(mounts[prefix], pathname.slice(prefix.length) || "index.html");
    if (!file.startsWith(mounts[prefix])) {
      response.writeHead(403).end();
      return;
    }
    fs.readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { "Content-Type": TYPES[path.extname(file)] ||
                                                "application/octet-stream" });
      response.end(data);
    });
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`,
           // The browser's open connections too, even one it opened ahead and never used.
           close: () => new Promise((resolve) => {
             server.close(resolve);
             server.closeAllConnections();
           }) };
}
