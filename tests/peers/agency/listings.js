// Listing events of the file screens: actions, copy, match tags, emptying the bin, seen marks
// and colleague ads. Failures are armed through the main server's "fail" command.
'use strict';

module.exports = function listings(ctx) {
  const { data, reply } = ctx;
  const byId = new Map(data.initial_property.map((f) => [f._id, f]));
  const contacts = new Map(data.initial_customer.map((c) => [c._id, c]));
  const districts = new Map(data.initial_district.map((d) => [d._id, d]));
  const hashtags = new Map(data.initial_hashtag.map((h) => [h._id, h]));
  let copies = 0;

  // The server's full form of a file: related records as objects.
  function expanded(file) {
    const f = JSON.parse(JSON.stringify(file));
    f.customer_ref = contacts.get(file.customer_ref) || { _id: file.customer_ref };
    f.district = (file.district || []).map((id) => districts.get(id) || { _id: id });
    f.hashtag = (file.hashtag || []).map((id) => hashtags.get(id) || { _id: id });
    return f;
  }

  return {
    handlers: {
      property_action(socket, content, payload) {
        const timestamp = Date.now();
        const action = (content.action || []).map((a) => Object.assign({}, a, { timestamp }));
        reply(socket, 'property_action', Object.assign({}, content, { action }), payload);
      },
      property_copy(socket, content, payload) {
        const source = byId.get(content.file_id);
        if (!source)
          return reply(socket, 'property_copy', null, payload, 1, 0, false, 'فایل یافت نشد');
        const copy = expanded(source);
        copy._id = source._id + '-copy' + (++copies);
        copy.code = { auto: 900000 + copies, manual: '' };
        copy.dates = { register: Date.now(), create: Date.now() };
        byId.set(copy._id, copy);
        reply(socket, 'property_copy', { file: copy }, payload);
      },
      // The manager's alone, to agents of the agency (their pushed notice of the file is left out here).
      property_send(socket, content, payload) {
        const agents = Array.isArray(content.agents) ? content.agents : [];
        const known = agents.length && agents.every((id) => data.initial_agent.some((a) => a.agent_ref._id === id));
        if (content.agent_id || !byId.has(content.file_id) || !known)
          return reply(socket, 'property_send', null, payload, 1, 0, false, { msg: 'ارسال فایل انجام نشد' });
        reply(socket, 'property_send', { file_id: content.file_id, agents }, payload);
      },
      property_tag(socket, content, payload) {
        reply(socket, 'property_tag', { file_id: content.file_id, tag_for: content.tag_for, status: content.status },
          payload);
      },
      property_clean(socket, content, payload) {
        reply(socket, 'property_clean', { trade_id: content.trade_id, property_id: content.property_id,
          filter: content.filter || [] }, payload);
      },
      property_seen(socket, content, payload) {
        reply(socket, 'property_seen', { edit: true, code: content.code }, payload);
      },
      // Colleague ads: the agency's own files marked for colleagues, or a colleague's, one page of 50.
      property_colleague(socket, content, payload) {
        const page = Number(content.page) > 0 ? Number(content.page) : 1;
        const own = content.colleague_id === data.manager._id;
        const pool = data.initial_property.filter((f) => (own ? f.status.ad_colleague || f.code.auto % 5 === 0
          : f.code.auto % 7 === 0) && (!content.property_id || content.property_id < 0 || f.type === content.property_id));
        const list = pool.slice((page - 1) * 50, page * 50).map((f) => {
          const file = expanded(f);
          if (!own) {
            file._id = 'c-' + f._id;
            file.user_ref = { _id: content.colleague_id, name_family: 'همکار ' + content.colleague_id, type: 1 };
          }
          return { file_ref: file };
        });
        reply(socket, 'property_colleague', { list }, Object.assign({ page }, payload || {}));
      },
      property_list(socket, content, payload) {
        reply(socket, 'property_list', { list: [] }, payload);
      },
    },
  };
};
