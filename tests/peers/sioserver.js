// A socket.io 4 server over TLS on 127.0.0.1 for the tests of the server link.
//
// Options: --key FILE --cert FILE [--port N] [--ping-interval MS] [--ping-timeout MS]
//          [--echo] [--nosid]
// Prints one JSON object per line: {"ev":"ready","port":N} once listening, then what it sees
// ("tls", "upgrade", "wsclose", "connection", "event", "disconnect"). Reads one JSON command
// per line on stdin (see `commands`); it exits when stdin closes, so it never outlives its test.
'use strict';

const crypto = require('crypto');
const fs = require('fs');
const https = require('https');
const readline = require('readline');
const zlib = require('zlib');
const { Server } = require('socket.io');

const opts = { port: 0, pingInterval: 25000, pingTimeout: 20000, echo: false, nosid: false };
for (let i = 2; i < process.argv.length; ++i) {
  const a = process.argv[i];
  const next = () => process.argv[++i];
  if (a === '--key') opts.key = next();
  else if (a === '--cert') opts.cert = next();
  else if (a === '--port') opts.port = Number(next());
  else if (a === '--ping-interval') opts.pingInterval = Number(next());
  else if (a === '--ping-timeout') opts.pingTimeout = Number(next());
  else if (a === '--echo') opts.echo = true;
  else if (a === '--nosid') opts.nosid = true;
  else throw new Error('unknown option ' + a);
}

function out(obj) {
  process.stdout.write(JSON.stringify(obj) + '\n');
}

// Binary values are shown as {"$binary": base64} so that the tests can compare them exactly.
function show(v) {
  if (Buffer.isBuffer(v)) return { $binary: v.toString('base64') };
  if (v instanceof ArrayBuffer) return { $binary: Buffer.from(v).toString('base64') };
  if (Array.isArray(v)) return v.map(show);
  if (v && typeof v === 'object') {
    const o = {};
    for (const k of Object.keys(v)) o[k] = show(v[k]);
    return o;
  }
  return v;
}

function unshow(v) {
  if (Array.isArray(v)) return v.map(unshow);
  if (v && typeof v === 'object') {
    if (typeof v.$binary === 'string') return Buffer.from(v.$binary, 'base64');
    const o = {};
    for (const k of Object.keys(v)) o[k] = unshow(v[k]);
    return o;
  }
  return v;
}

// The server's reply form: Base64 of gzip of the JSON text.
function packed(text) {
  return zlib.gzipSync(Buffer.from(text, 'utf8')).toString('base64');
}

const server = https.createServer({ key: fs.readFileSync(opts.key), cert: fs.readFileSync(opts.cert) });
server.on('secureConnection', (s) => out({ ev: 'tls', servername: s.servername || null }));
server.on('tlsClientError', (e) => out({ ev: 'tlserror', message: String(e && e.message) }));
server.on('upgrade', (req) => out({ ev: 'upgrade', url: req.url }));

const io = new Server(server, {
  pingInterval: opts.pingInterval,
  pingTimeout: opts.pingTimeout,
  maxHttpBufferSize: 64e6,
  transports: ['websocket'],
});

const engineSockets = new Set();
io.engine.on('connection', (s) => {
  engineSockets.add(s);
  s.on('close', () => engineSockets.delete(s));
});

const onWebSocket = io.engine.onWebSocket.bind(io.engine);
io.engine.onWebSocket = function (req, socket, websocket) {
  websocket.on('close', (code, reason) => out({ ev: 'wsclose', code, reason: reason.toString() }));
  if (opts.nosid) {
    const send = websocket.send.bind(websocket);
    websocket.send = function (data, ...rest) {
      if (typeof data === 'string' && data[0] === '0') {
        const open = JSON.parse(data.slice(1));
        delete open.sid;
        data = '0' + JSON.stringify(open);
      }
      return send(data, ...rest);
    };
  }
  return onWebSocket(req, socket, websocket);
};

io.on('connection', (socket) => {
  out({ ev: 'connection', id: socket.id });
  socket.onAny((name, ...args) => {
    out({ ev: 'event', name, args: show(args) });
    if (opts.echo) {
      const content = args.length ? show(args[0]) : null;
      socket.emit(name + '_result', packed(JSON.stringify({ ok: true, content, payload: {}, timestamp: Date.now() })));
    }
  });
  socket.on('disconnect', (reason) => out({ ev: 'disconnect', reason }));
});

function bigText(bytes, seed) {
  // Random words compress poorly enough to keep the reply several megabytes on the wire.
  const rand = crypto.createHash('sha256').update(String(seed)).digest();
  const words = [];
  let size = 0;
  let state = rand.readUInt32LE(0) || 1;
  while (size < bytes) {
    state ^= state << 13; state >>>= 0;
    state ^= state >>> 17;
    state ^= state << 5; state >>>= 0;
    const w = state.toString(36) + (state % 7 === 0 ? 'سلام' : '');
    words.push(w);
    size += Buffer.byteLength(w) + 3;
  }
  return JSON.stringify({ ok: true, content: { list: words }, payload: {}, timestamp: 1 });
}

const commands = {
  // Emits a reply: json is packed as the server does; args go out as they are.
  emit(c) {
    const args = c.args !== undefined ? unshow(c.args) : [packed(typeof c.json === 'string' ? c.json : JSON.stringify(c.json))];
    io.emit(c.name, ...args);
    out({ ev: 'emitted', name: c.name });
  },
  burst(c) {
    for (let i = 0; i < c.count; ++i) io.emit(c.name, packed(JSON.stringify({ content: { type: 'burst', data: i } })));
    out({ ev: 'emitted', name: c.name, count: c.count });
  },
  big(c) {
    const text = bigText(c.bytes, c.seed || 1);
    const arg = packed(text);
    io.emit(c.name, arg);
    out({ ev: 'emitted', name: c.name, length: Buffer.byteLength(text), wire: arg.length,
          sha256: crypto.createHash('sha256').update(text).digest('hex') });
  },
  // The current sessions stop pinging; new ones ping again.
  stall() {
    for (const s of engineSockets) {
      clearTimeout(s.pingIntervalTimer);
      clearTimeout(s.pingTimeoutTimer);
      s.pingIntervalTimer = { refresh() {} };
      s.pingTimeoutTimer = null;
      s.schedulePing = () => {};
      s.resetPingTimeout = () => {};
    }
    out({ ev: 'stalled', count: engineSockets.size });
  },
  nsdisconnect() {
    io.disconnectSockets(false);
    out({ ev: 'nsdisconnected' });
  },
};

readline.createInterface({ input: process.stdin }).on('line', (line) => {
  if (!line.trim()) return;
  try {
    const c = JSON.parse(line);
    commands[c.cmd](c);
  } catch (e) {
    out({ ev: 'error', message: String(e && e.message) });
  }
}).on('close', () => process.exit(0));

server.listen(opts.port, '127.0.0.1', () => out({ ev: 'ready', port: server.address().port }));
