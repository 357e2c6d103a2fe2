// A local S3-compatible object store for the upload tests and benchmarks, on 127.0.0.1.
//
// Options: --dir FOLDER (where objects are kept; required) [--port N] [--bucket NAME ...]
//          [--tls] (HTTPS with the --key and --cert the test runner passes)
// stdout: {"ev":"ready","port":N} once listening. Credentials: S3RVER / S3RVER.
// The server exits when stdin closes, so it never outlives its test.
'use strict';

const fs = require('fs');
const S3rver = require('@20minutes/s3rver');

const opts = { port: 0, dir: null, buckets: [], tls: false, key: null, cert: null };
for (let i = 2; i < process.argv.length; ++i) {
  const a = process.argv[i];
  if (a === '--port') opts.port = Number(process.argv[++i]);
  else if (a === '--dir') opts.dir = process.argv[++i];
  else if (a === '--bucket') opts.buckets.push(process.argv[++i]);
  else if (a === '--tls') opts.tls = true;
  else if (a === '--key') opts.key = process.argv[++i];
  else if (a === '--cert') opts.cert = process.argv[++i];
  // The test runner's options for its socket.io servers (--ping-*) do not apply.
  else if (a.startsWith('--') && i + 1 < process.argv.length) ++i;
  else throw new Error('unknown option ' + a);
}
if (!opts.dir)
  throw new Error('--dir is required');

const server = new S3rver({
  address: '127.0.0.1',
  port: opts.port,
  silent: true,
  directory: opts.dir,
  configureBuckets: opts.buckets.map((name) => ({ name })),
  key: opts.tls ? fs.readFileSync(opts.key) : undefined,
  cert: opts.tls ? fs.readFileSync(opts.cert) : undefined,
});

server.run().then((address) => {
  process.stdout.write(JSON.stringify({ ev: 'ready', port: address.port }) + '\n');
}, (err) => {
  process.stdout.write(JSON.stringify({ ev: 'error', message: String(err) }) + '\n');
  process.exit(1);
});

process.stdin.on('end', () => process.exit(0));
process.stdin.resume();
