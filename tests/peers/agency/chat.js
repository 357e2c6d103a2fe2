// Conversations: "conversation_list" answers the conversations below, and
// "conversation_message_list_2" the messages of one of them; "conversation_message_seen_2" clears
// the conversation's unread count. Conversation c1 holds messages two days apart, c2 none.
//
// Commands: {"cmd":"conversations","list":[...]}          replaces the conversations
//           {"cmd":"messages","id":C,"list":[...]}          replaces the messages of C
'use strict';

module.exports = function (ctx) {
  const { data, reply } = ctx;
  const M = data.manager._id;
  const day = 86400000;
  const base = Date.UTC(2024, 2, 10, 9, 30);

  let conversations = [
    { _id: 'c1', name: 'کانال اطلاع رسانی', description: 'اخبار بنگاه', type: 3, image: '',
      count: 2, admins: [M], last_message: { message: 'جلسه فردا ساعت ۱۰', create: base + 2 * day } },
    { _id: 'c2', name: 'کانال خالی', description: 'بدون پیام', type: 3, image: '', count: 0,
      admins: [M], last_message: null },
  ];
  const messages = {
    c1: [
      { _id: 'm3', type: 1, message: 'جلسه فردا ساعت ۱۰', user_ref: M, create: base + 2 * day, media_links: [] },
      { _id: 'm2', type: 3, message: '', user_ref: M, create: base + 60000,
        media_links: ['http://127.0.0.1:9/chat/photo.jpg'] },
      { _id: 'm1', type: 1, message: 'سلام به همه همکاران', user_ref: M, create: base, media_links: [] },
    ],
    c2: [],
  };

  return {
    handlers: {
      conversation_list(socket) {
        reply(socket, 'conversation_list', { list: conversations });
      },
      conversation_message_list_2(socket, c) {
        const list = messages[c && c.conversation_id];
        if (!list)
          return reply(socket, 'conversation_message_list_2', null, null, 1, 0, false, 'گفتگو پیدا نشد');
        reply(socket, 'conversation_message_list_2', { list });
      },
      // Read: the conversation's unread count is gone from the next list.
      conversation_message_seen_2(socket, c) {
        const read = conversations.find((v) => v._id === (c && c.conversation_ref));
        if (read)
          read.count = 0;
      },
    },
    commands: {
      conversations(c) {
        conversations = c.list;
        ctx.out({ ev: 'armed', kind: 'conversations' });
      },
      messages(c) {
        messages[c.id] = c.list;
        ctx.out({ ev: 'armed', kind: 'messages' });
      },
    },
  };
};
