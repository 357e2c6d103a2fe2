// A small agency server for the synchronisation tests and the download benchmark: socket.io 4
// over TLS on 127.0.0.1, with the login events, the first download's pages over generated
// records of every kind, the incremental update, and notices pushed on demand.
//
// Options: --key FILE --cert FILE [--port N] [--ping-interval MS] [--ping-timeout MS]
//          [--seed N] [--manager ID] [--mobile M] [--dump FILE]
//          [--agents N] [--contacts N] [--districts N] [--hashtags N] [--notes N]
//          [--activities N] [--boards N] [--shelves N] [--files N] [--unseen N]
//          [--agent I:ACCESS[:TYPE]]...   agent I's rights (agents log in by their mobile numbers,
//                                           "0935" and I in seven digits; see agency/agents.js)
//
// Records: generated once at start from the seed; --dump writes them as one JSON object
// {manager, initial_agent: [...], initial_customer: [...], ...} before "ready".
//
// stdout, one JSON object per line:
//   {"ev":"ready","port":N}
//   {"ev":"connection"} / {"ev":"disconnect","reason"}
//   {"ev":"request","name","content","payload","at"}   every event a client sends
//   {"ev":"replied","name","page","count","timestamp","bytes","ms"}  each reply, with its stamp
//                                               and the time it took to build
//   {"ev":"dropped","name","page"} / {"ev":"emitted","name"} / {"ev":"armed"} / {"ev":"error"}
//
// stdin, one JSON command per line:
//   {"cmd":"notify","name":N,"content":{type,data,...},"timestamp"?}   push to every client
//   {"cmd":"fail","name":N,"page":P,"times":K,"mode":M}  the next K such requests fail: mode "null"
//                                               (the default) answers without content, "notok"
//                                               answers ok false with a message, "silent" not at all
//   {"cmd":"drop","name":N,"page":P}            the next such request is not answered; the
//                                               client's connection is cut instead
//   {"cmd":"upgrade","content":C}               the content of the next "initial_upgrade" reply
// The server exits when stdin closes, so it never outlives its test.
//
// Feature modules: every file of tests/peers/agency/ exports a function taking the server's
// context ({data, opts, reply, fail, stamp, out, io, packed, push}) and returning
// {handlers: {event: (socket, content, payload, envelope) => ...}, commands: {cmd: (c) => ...}}.
// A module's handler answers its events; its commands join those below.
'use strict';

const fs = require('fs');
const https = require('https');
const readline = require('readline');
const zlib = require('zlib');
const { Server } = require('socket.io');

const counts = {
  agents: 8, contacts: 2500, districts: 120, hashtags: 60, notes: 1000, activities: 1500,
  boards: 40, shelves: 6, files: 3000, unseen: 150,
};
const opts = { port: 0, pingInterval: 25000, pingTimeout: 20000, seed: 1, manager: 'm1',
  mobile: '09120000001', dump: null };
for (let i = 2; i < process.argv.length; ++i) {
  const a = process.argv[i];
  const next = () => process.argv[++i];
  const name = a.replace(/^--/, '');
  if (a === '--key') opts.key = next();
  else if (a === '--cert') opts.cert = next();
  else if (a === '--port') opts.port = Number(next());
  else if (a === '--ping-interval') opts.pingInterval = Number(next());
  else if (a === '--ping-timeout') opts.pingTimeout = Number(next());
  else if (a === '--seed') opts.seed = Number(next());
  else if (a === '--manager') opts.manager = next();
  else if (a === '--mobile') opts.mobile = next();
  else if (a === '--dump') opts.dump = next();
  else if (a === '--agent') (opts.agentRights = opts.agentRights || []).push(next());
  else if (name in counts) counts[name] = Number(next());
  else throw new Error('unknown option ' + a);
}

function out(obj) {
  process.stdout.write(JSON.stringify(obj) + '\n');
}

// The server's reply form: Base64 of gzip of the JSON text.
function packed(text) {
  return zlib.gzipSync(Buffer.from(text, 'utf8')).toString('base64');
}

// Server time stamps only move forward, so every reply's stamp is later than the one before.
let lastStamp = 0;
function stamp() {
  lastStamp = Math.max(Date.now(), lastStamp + 1);
  return lastStamp;
}

// ---- The records ----------------------------------------------------------------------------

function mulberry32(seed) {
  let a = seed >>> 0;
  return function () {
    a = (a + 0x6D2B79F5) >>> 0;
    let t = a;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

function digits(n, width) {
  return String(n).padStart(width, '0');
}

function generate() {
  const rnd = mulberry32(opts.seed);
  const pick = (n) => Math.floor(rnd() * n);
  const M = opts.manager;
  const base = 1700000000000;
  const manager = {
    _id: M, mobile: opts.mobile, name_family: 'مدیر آزمون', business_name: 'املاک آزمون',
    city_ref: 'city-1', country_code: 98, union_code: '1234', desc: 'دفتر مرکزی',
    map: { lat: 35.7, lng: 51.4 }, device: [{ platform: 64, token: 'token-' + M }],
    info: { mobile_1: opts.mobile, mobile_2: '', phone_1: '02100000000', phone_2: '', site: '',
      email: 'agency@example.com', address: 'تهران', telegram: '', instagram: '' },
  };
  const agents = [];
  for (let i = 0; i < counts.agents; ++i) {
    agents.push({
      agent_ref: { _id: `${M}-a${i}`, mobile: '0935' + digits(i, 7), name_family: 'مشاور ' + i },
      access: 2 | 4 | (i % 2 ? 8 : 0) | (i % 3 ? 16 : 0), type: i % 3,
      device: [{ platform: 64, token: '' }], date: base + i, status: { type: 1, text: '' },
    });
  }
  const kinds = [1, 2, 6, 5, 17, 18];
  const contacts = [];
  for (let i = 0; i < counts.contacts; ++i) {
    contacts.push({
      _id: `${M}-c${i}`, user_ref: M, name_family: 'مشتری ' + i, address: 'نشانی ' + pick(1000),
      job: 'شغل ' + pick(50), mobile_1: '0912' + digits(i, 7), mobile_2: i % 4 ? '' : '0919' + digits(i, 7),
      phone_1: '', phone_2: '', type: [kinds[i % kinds.length]],
    });
  }
  const districts = [];
  for (let i = 0; i < counts.districts; ++i)
    districts.push({ _id: `${M}-d${i}`, user_ref: M, title: 'منطقه ' + i });
  const hashtags = [];
  for (let i = 0; i < counts.hashtags; ++i)
    hashtags.push({ _id: `${M}-h${i}`, user_ref: M, title: 'برچسب ' + i });
  const notes = [];
  for (let i = 0; i < counts.notes; ++i) {
    notes.push({ _id: `${M}-n${i}`, user_ref: M, title: 'یادداشت ' + i, body: 'متن یادداشت ' + i,
      color: '#80DEEA', date: { alarm: base + i * 3600000 } });
  }
  const fileId = (i) => `${M}-f${i}`;
  const activities = [];
  for (let i = 0; i < counts.activities; ++i) {
    activities.push({ _id: `${M}-ac${i}`, user_ref: M, file_ref: fileId(i % Math.max(1, counts.files)),
      type: 1 + (i % 3), message: 'پیگیری ' + i, date: base + i * 1000,
      media_links: i % 5 === 0 ? [`http://127.0.0.1:9/${i}.jpg`] : [] });
  }
  const agentIds = agents.map((a) => a.agent_ref._id);
  const boards = [];
  for (let i = 0; i < counts.boards; ++i) {
    boards.push({ _id: `${M}-t${i}`, user_ref: M, name: 'تابلو ' + i, trade_ref: 1 + (i % 8),
      property_ref: 50 + (i % 16), color: 1 + (i % 20), share: [],
      access: agentIds.filter((_, k) => (k + i) % 3 === 0),
      filter: [{ key: 'price_1', value: { value_1: 1000000 * (i + 1), value_2: 2000000 * (i + 1) } }] });
  }
  const shelves = [];
  const perShelf = Math.max(1, Math.ceil(boards.length / Math.max(1, counts.shelves)));
  for (let i = 0; i < counts.shelves; ++i) {
    shelves.push({ _id: `${M}-s${i}`, name: 'قفسه ' + i, color: i % 11, type: 1,
      access: agentIds.filter((_, k) => k % 2 === i % 2),
      tavorlin: boards.slice(i * perShelf, (i + 1) * perShelf).map((b) => b._id) });
  }
  const toggleKeys = ['condition', 'parking', 'wc', 'kitchen', 'heat_cool'];
  const files = [];
  for (let i = 0; i < counts.files; ++i) {
    const trade = i % 10 === 9 ? 9 + (i % 8) : 1 + (i % 8);
    const file = {
      _id: fileId(i), user_ref: M, agent_ref: i % 3 ? agentIds[i % Math.max(1, agentIds.length)] || '' : '',
      customer_ref: contacts.length ? contacts[i % contacts.length]._id : '', trade_ref: trade,
      type: 50 + (i % 16), seen: true, code: { auto: i + 1, manual: 'K' + (i + 1) },
      dates: { register: base + i * 60000, create: base + i * 60000 },
      info: { address: 'خیابان ' + pick(500) + ' پلاک ' + i, desc: 'توضیح فایل ' + i, room: 1 + (i % 5),
        floor_all: 5, floor_one: 1 + (i % 5), build_year: 1390 + (i % 12), num_parking: 1, unit_all: 10, unit_one: 1 },
      meter: { area: 50 + (i % 200), home: 40 + (i % 150), building: 100 + (i % 50) },
      status: { delete: false, pin: i % 50 === 0, ad_colleague: false, ad_public: false, is_private: i % 17 === 0 },
      price: { loan: 0, price_1: 1000000000 + i * 1000, price_2: i % 2 ? 5000000 : 0 },
      map: { lat: 35.6 + (i % 100) / 1000, lng: 51.3 + (i % 100) / 1000 },
      district: districts.length ? [districts[i % districts.length]._id] : [],
      hashtag: hashtags.length ? [hashtags[i % hashtags.length]._id] : [],
      media_links: i % 7 === 0 ? [`http://127.0.0.1:9/f${i}.jpg`] : [],
    };
    for (let k = 0; k < toggleKeys.length; ++k)
      if ((i + k) % 2 === 0) file[toggleKeys[k]] = [1 + ((i + k) % 4), 5 + (k % 3)];
    files.push(file);
  }
  const unseen = [];
  const step = counts.unseen ? Math.max(1, Math.floor(counts.files / counts.unseen)) : 1;
  for (let i = 0; i < counts.unseen; ++i)
    unseen.push({ code: 1 + ((i * step) % Math.max(1, counts.files)) });
  return {
    manager,
    initial_agent: agents, initial_customer: contacts, initial_district: districts,
    initial_hashtag: hashtags, initial_note: notes, initial_activity: activities,
    initial_tavorlin: boards, initial_shelf: shelves, initial_property: files, initial_seen: unseen,
  };
}

const data = generate();
const pageKinds = ['initial_agent', 'initial_customer', 'initial_district', 'initial_hashtag', 'initial_note',
  'initial_activity', 'initial_tavorlin', 'initial_shelf', 'initial_property', 'initial_seen'];
const total = pageKinds.reduce((n, k) => n + data[k].length, 0);
if (opts.dump)
  fs.writeFileSync(opts.dump, JSON.stringify(data));

// ---- Requests -------------------------------------------------------------------------------

const limit = 1000;
// Faults armed by the test: {kind, name, page, times}.
const rules = [];
let nextUpgrade = null;

function takeRule(kind, name, page) {
  const i = rules.findIndex((r) => r.kind === kind && r.name === name && (r.page === undefined || r.page === page));
  if (i === -1)
    return null;
  const rule = rules[i];
  if (--rule.times <= 0)
    rules.splice(i, 1);
  return rule;
}

// Answers an armed failure in its mode.
function fail(socket, name, rule, payload, page) {
  if (rule.mode === 'silent')
    return out({ ev: 'silenced', name, page });
  if (rule.mode === 'notok')
    return reply(socket, name, null, payload, page, 0, false, { msg: 'خطای آزمایشی سرور' });
  return reply(socket, name, null, payload, page, 0);
}

function reply(socket, name, content, payload, page, count, ok = true, message = null) {
  const started = process.hrtime.bigint();
  const timestamp = stamp();
  const arg = packed(JSON.stringify({ ok, content, payload: payload || {}, timestamp, message }));
  socket.emit(name + '_result', arg);
  out({ ev: 'replied', name, page, count, timestamp, bytes: arg.length,
    ms: Number(process.hrtime.bigint() - started) / 1e6 });
}

// Cuts the connection as a lost network would: no close handshake, no namespace disconnect.
function cut(socket) {
  const ws = socket.conn && socket.conn.transport && socket.conn.transport.socket;
  if (ws && typeof ws.terminate === 'function')
    ws.terminate();
  else
    socket.conn.close();
}

function upgradeContent() {
  if (nextUpgrade) {
    const c = nextUpgrade;
    nextUpgrade = null;
    return c;
  }
  return { account: null, agent: [], contact: [], district: [], hashtag: [], note: [], activity: [],
    tavorlin: [], shelf: [], properties: [], unseen: [] };
}

function handle(socket, name, envelope) {
  const content = (envelope && envelope.content) || {};
  const payload = envelope && envelope.payload;
  const page = Number(content.page) > 0 ? Number(content.page) : 1;
  if (takeRule('drop', name, page)) {
    out({ ev: 'dropped', name, page });
    cut(socket);
    return;
  }
  const failure = takeRule('fail', name, page);
  if (failure)
    return fail(socket, name, failure, payload, page);
  if (modules.handlers[name])
    return modules.handlers[name](socket, content, payload, envelope);
  switch (name) {
  case 'mobile_check':
  case 'email_check':
    return reply(socket, name, { sent: true }, payload);
  case 'code_resend':
    return reply(socket, name, {}, payload);
  case 'validity_token':
    return reply(socket, name, { valid: true }, payload);
  case 'account_select':
    return reply(socket, name, { account: { _id: data.manager._id } }, payload);
  case 'version_check':
    return reply(socket, name, { update: false }, payload);
  case 'count':
    return reply(socket, name, { count: { task: 0 } }, payload);
  case 'initial_count':
    return reply(socket, name, { count: total }, payload);
  case 'initial_upgrade':
    return reply(socket, name, upgradeContent(), payload, page);
  default:
    if (data[name] && pageKinds.includes(name)) {
      const list = data[name].slice((page - 1) * limit, page * limit);
      return reply(socket, name, { list }, { page }, page, list.length);
    }
  }
}

const server = https.createServer({ key: fs.readFileSync(opts.key), cert: fs.readFileSync(opts.cert) });
const io = new Server(server, {
  pingInterval: opts.pingInterval,
  pingTimeout: opts.pingTimeout,
  maxHttpBufferSize: 64e6,
  transports: ['websocket'],
});

io.on('connection', (socket) => {
  out({ ev: 'connection', id: socket.id });
  socket.onAny((name, ...args) => {
    const envelope = args.length && args[0] && typeof args[0] === 'object' ? args[0] : null;
    out({ ev: 'request', name, content: envelope ? envelope.content : null,
      payload: envelope ? envelope.payload : null, at: Date.now() });
    try {
      handle(socket, name, envelope);
    } catch (e) {
      out({ ev: 'error', message: String(e && e.message) });
    }
  });
  socket.on('disconnect', (reason) => out({ ev: 'disconnect', reason }));
});

// Pushes a notice to every client, as the notify command does.
function push(name, content, timestamp) {
  const notice = { content, timestamp: timestamp !== undefined ? timestamp : stamp() };
  io.emit(name, packed(JSON.stringify(notice)));
  out({ ev: 'emitted', name });
}

const commands = {
  notify(c) {
    push(c.name, c.content, c.timestamp);
  },
  fail(c) {
    rules.push({ kind: 'fail', name: c.name, page: c.page, times: c.times || 1, mode: c.mode || 'null' });
    out({ ev: 'armed', kind: 'fail', name: c.name });
  },
  drop(c) {
    rules.push({ kind: 'drop', name: c.name, page: c.page, times: 1 });
    out({ ev: 'armed', kind: 'drop', name: c.name });
  },
  upgrade(c) {
    nextUpgrade = c.content;
    out({ ev: 'armed', kind: 'upgrade' });
  },
};

// The feature modules, loaded once the server and its helpers exist.
const modules = { handlers: {} };
{
  const path = require('path');
  const dir = path.join(__dirname, 'agency');
  const ctx = { data, opts, reply, fail, stamp, out, io, packed, push };
  for (const name of fs.existsSync(dir) ? fs.readdirSync(dir).sort() : []) {
    if (!name.endsWith('.js'))
      continue;
    const made = require(path.join(dir, name))(ctx);
    Object.assign(modules.handlers, made.handlers || {});
    Object.assign(commands, made.commands || {});
  }
}

readline.createInterface({ input: process.stdin }).on('line', (line) => {
  if (!line.trim()) return;
  try {
    const c = JSON.parse(line);
    commands[c.cmd](c);
  } catch (e) {
    out({ ev: 'error', message: String(e && e.message) });
  }
}).on('close', () => process.exit(0));

server.listen(opts.port, '127.0.0.1', () => out({ ev: 'ready', port: server.address().port, total }));
