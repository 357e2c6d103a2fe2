// Media events of the fixture agency server: "aws_target" answers with the object store's
// settings, which the test sets first with {"cmd":"aws_target","target":{endpoint, credentials:
// {accessKeyId, secretAccessKey}, bucket, forcePathStyle}}.
'use strict';

module.exports = function media(ctx) {
  let target = null;
  // Where the store serves an uploaded object: the uploader names it by endpoint and key, the
  // server hands out the address with the bucket (path style).
  ctx.publicAddress = (name) => {
    const text = String(name || '');
    if (!target || !target.forcePathStyle || !text.startsWith(target.endpoint + '/')
        || text.startsWith(`${target.endpoint}/${target.bucket}/`))
      return text;
    return `${target.endpoint}/${target.bucket}/${text.substring(target.endpoint.length + 1)}`;
  };
  return {
    handlers: {
      aws_target(socket, content, payload) {
        ctx.reply(socket, 'aws_target', target ? { target } : null, payload);
      },
    },
    commands: {
      aws_target(c) {
        target = c.target;
        ctx.out({ ev: 'armed', kind: 'aws_target' });
      },
    },
  };
};
