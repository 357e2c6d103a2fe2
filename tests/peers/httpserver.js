// A plain HTTP server on 127.0.0.1 for the download tests and benchmark, serving one folder.
//
// Options: --dir FOLDER [--port N]
// Paths:   /files/NAME...        the file FOLDER/NAME..., 404 when missing
//          /redirect/NAME...     302 to /files/NAME...
//          /cut/NAME...          announces the whole length, sends half, then drops the connection
// stdout:  {"ev":"ready","port":N}, then {"ev":"request","url":U} for every request.
// The server exits when stdin closes, so it never outlives its test.
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');

const opts = { port: 0, dir: null };
for (let i = 2; i < process.argv.length; ++i) {
  const a = process.argv[i];
  if (a === '--port') opts.port = Number(process.argv[++i]);
  else if (a === '--dir') opts.dir = process.argv[++i];
  // The test runner's options for its TLS servers (--key, --cert, --ping-*) do not apply.
  else if (a.startsWith('--') && i + 1 < process.argv.length) ++i;
  else throw new Error('unknown option ' + a);
}

function out(obj) {
  process.stdout.write(JSON.stringify(obj) + '\n');
}

// The served file of a request path, or null when it would leave the folder.
function local(rest) {
  const file = path.resolve(opts.dir, decodeURIComponent(rest));
  return file.startsWith(path.resolve(opts.dir) + path.sep) ? file : null;
}

const server = http.createServer((req, res) => {
  out({ ev: 'request', url: req.url });
  const m = /^\/(files|redirect|cut)\/(.*)$/.exec(req.url.split('?')[0]);
  if (m && m[1] === 'redirect') {
    res.writeHead(302, { Location: '/files/' + m[2] });
    return res.end();
  }
  const file = m ? local(m[2]) : null;
  let size = -1;
  try {
    size = file ? fs.statSync(file).size : -1;
  } catch (e) {
    size = -1;
  }
  if (size < 0) {
    res.writeHead(404, { 'Content-Type': 'text/plain' });
    return res.end('not found');
  }
  res.writeHead(200, { 'Content-Type': 'application/octet-stream', 'Content-Length': size });
  if (m[1] === 'cut') {
    const half = Math.floor(size / 2);
    const stream = fs.createReadStream(file, { start: 0, end: Math.max(half - 1, 0) });
    stream.on('data', (chunk) => res.write(chunk));
    stream.on('end', () => setTimeout(() => req.socket.destroy(), 50));
    return;
  }
  fs.createReadStream(file).pipe(res);
});

server.listen(opts.port, '127.0.0.1', () => out({ ev: 'ready', port: server.address().port }));
process.stdin.on('end', () => process.exit(0));
process.stdin.resume();
