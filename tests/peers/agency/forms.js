// The listing form's events: "property_create" and "property_edit" answer with the stored file in
// the server's form (numbers as JSON numbers, whatever text the form sent; customer, guard,
// districts and hashtags as objects, new ones with fresh ids), "property_hashtag" with the applied
// change, "account_setting" with the stored setting.
'use strict';

module.exports = function forms(ctx) {
  let next = 1;
  // Apart from the generated records' ids, so that a new row never replaces one of them.
  const fresh = (prefix) => `${ctx.opts.manager}-new${prefix}${next++}`;
  const files = {};
  const settings = {};
  const tags = ['condition', 'coverage', 'direction', 'facilities', 'frontage', 'heat_cool', 'joints', 'kitchen',
    'location', 'parking', 'points', 'progress', 'roof', 'skeleton', 'terrain', 'trait', 'wall', 'wc'];

  function contact(fields, user) {
    if (!fields)
      return null;
    const c = Object.assign({}, fields);
    c._id = c.id || fresh('c');
    delete c.id;
    c.user_ref = user;
    c.type = [Number(fields.type) || 0];
    return c;
  }

  // The server keeps numbers as numbers: a text the form sent is read as one, anything else is 0.
  const number = (v) => (Number.isFinite(Number(v)) ? Number(v) : 0);
  function numbers(group, texts) {
    const out = {};
    for (const [k, v] of Object.entries(group || {}))
      out[k] = texts.includes(k) ? String(v) : number(v);
    return out;
  }

  function titled(list, prefix, user) {
    return (list || []).map((t) => ({ _id: t.id || fresh(prefix), title: t.title, user_ref: user }));
  }

  // Codes are the agency's own numbering, after the downloaded files'; an edited file keeps its code.
  let nextCode = ctx.data.initial_property.reduce((m, f) => Math.max(m, Number(f.code.auto) || 0), 0) + 1;
  function codeOf(id) {
    const before = files[id] || ctx.data.initial_property.find((f) => f._id === id);
    return before && before.code ? Number(before.code.auto) : nextCode++;
  }

  function fileOf(content, id, kept) {
    const d = content.data || {};
    const user = d.user_id || ctx.opts.manager;
    const customer = d.customer || {};
    const file = {
      _id: id, user_ref: user, agent_ref: d.agent_id || '', trade_ref: Number(d.trade_id),
      type: Number(content.property_id || d.property_id), seen: true,
      code: { auto: codeOf(id), manual: String((d.code || {}).manual || '') },
      dates: { register: number(d.dates ? d.dates.register : 0), create: Date.now() },
      info: numbers(d.info, ['address', 'desc']), meter: numbers(d.meter, []), price: numbers(d.price, []),
      map: d.map ? numbers(d.map, []) : { lat: 0, lng: 0 },
      status: Object.assign({ delete: false, pin: false, ad_colleague: false, ad_public: false }, kept, d.status || {}),
      customer_ref: contact(customer.customer_ref, user),
      district: titled(d.district, 'd', user),
      hashtag: titled(d.hashtag, 'h', user),
      media_links: d.media_links || [],
    };
    const guard = contact(customer.guard, user);
    if (guard)
      file.guard = guard;
    if (d.tenant)
      file.tenant = numbers(d.tenant, ['name', 'phone']);
    for (const key of tags)
      if (Array.isArray(d[key]))
        file[key] = d[key].map(number);
    return file;
  }

  return {
    handlers: {
      property_create(socket, content, payload) {
        const file = fileOf(content, fresh('pf'));
        files[file._id] = file;
        ctx.reply(socket, 'property_create', { file }, payload);
      },
      // An edit keeps what the request does not set of the file's state (bin, pin, colleague ads).
      property_edit(socket, content, payload) {
        const before = files[content.file_id] || ctx.data.initial_property.find((f) => f._id === content.file_id);
        const file = fileOf(content, content.file_id, before ? before.status : {});
        files[file._id] = file;
        ctx.reply(socket, 'property_edit', { file }, payload);
      },
      property_hashtag(socket, content, payload) {
        ctx.reply(socket, 'property_hashtag', {
          file_id: content.file_id, success_add: content.hashtag_add || [], success_remove: content.hashtag_remove || [],
        }, payload);
      },
      account_setting(socket, content, payload) {
        const setting = content.setting || {};
        const owner = content.agent_id || content.user_id;
        settings[owner] = Object.assign(settings[owner] || {}, { [setting.key]: setting.value });
        ctx.reply(socket, 'account_setting', { result: { _id: owner, setting: settings[owner] } }, payload);
      },
    },
    commands: {},
  };
};
