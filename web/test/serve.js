// A static file server for the page on 127.0.0.1 (the tests start it on a free port; `node
// serve.js DIR PORT` serves by hand). Only files under DIR are served.
"use strict";
const http = require("http");
const fs = require("fs");
const path = require("path");

const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                ".css": "text/css", ".png": "image/png", ".txt": "text/plain" };

function serve(dir, port) {
  const root = path.resolve(dir);
  const server = http.createServer((req, res) => {
    let rel = decodeURIComponent(new URL(req.url, "http://127.0.0.1").pathname);
    if (rel.endsWith("/")) rel += "index.html";
    const file = path.resolve(root, "." + rel);
    if (!file.startsWith(root + path.sep)) { res.writeHead(403); res.end(); return; }
    fs.readFile(file, (err, data) => {
      if (err) { res.writeHead(404); res.end(); return; }
      res.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream",
                           "Cache-Control": "no-cache" });
      res.end(data);
    });
  });
  return new Promise((resolve) => server.listen(port || 0, "127.0.0.1", () => resolve(server)));
}

module.exports = { serve };

if (require.main === module) {
  serve(process.argv[2] || ".", +(process.argv[3] || 8023)).then((s) =>
    console.log(`serving ${process.argv[2] || "."} on http://127.0.0.1:${s.address().port}/`));
}
