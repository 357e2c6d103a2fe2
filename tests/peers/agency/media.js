// Media events of the fixture agency server: "aws_target" answers with the object store's
// settings, which the test sets first with {"cmd":"aws_target","target":{endpoint, credentials:
// {accessKeyId, secretAccessKey}, bucket, forcePathStyle}}.
'use strict';

module.exports = function media(ctx) {
  let target = null;
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
