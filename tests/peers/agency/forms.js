// The listing form's events: "property_create" and "property_edit" answer with the stored file
// (customer, guard, districts and hashtags as objects, new ones with fresh ids), "property_hashtag"
// with the applied change, "account_setting" with the stored setting.
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

  function titled(list, prefix, user) {
    return (list || []).map((t) => ({ _id: t.id || fresh(prefix), title: t.title, user_ref: user }));
  }

  // The form sends its numbers as texts; the server stores and answers them as numbers.
  function numbers(fields, texts = []) {
    const out = {};
    for (const [k, v] of Object.entries(fields || {}))
      out[k] = typeof v === 'string' && v.trim() !== '' && !texts.includes(k) && !isNaN(Number(v)) ? Number(v) : v;
    return out;
  }

  function fileOf(content, id) {
    const d = content.data || {};
    const user = d.user_id || ctx.opts.manager;
    const customer = d.customer || {};
    const file = {
      _id: id, user_ref: user, agent_ref: d.agent_id || '', trade_ref: Number(d.trade_id),
      type: Number(content.property_id || d.property_id), seen: true,
      code: Object.assign({ auto: next++ }, d.code || {}),
      dates: { register: d.dates ? d.dates.register : 0, create: Date.now() },
      info: numbers(d.info, ['address', 'desc']), meter: numbers(d.meter), price: numbers(d.price),
      map: d.map || { lat: 0, lng: 0 },
      status: Object.assign({ delete: false, pin: false, ad_colleague: false, ad_public: false }, d.status || {}),
      customer_ref: contact(customer.customer_ref, user),
      district: titled(d.district, 'd', user),
      hashtag: titled(d.hashtag, 'h', user),
      media_links: d.media_links || [],
    };
    const guard = contact(customer.guard, user);
    if (guard)
      file.guard = guard;
    if (d.tenant)
      file.tenant = d.tenant;
    for (const key of tags)
      if (Array.isArray(d[key]))
        file[key] = d[key];
    return file;
  }

  return {
    handlers: {
      property_create(socket, content, payload) {
        const file = fileOf(content, fresh('pf'));
        files[file._id] = file;
        ctx.reply(socket, 'property_create', { file }, payload);
      },
      property_edit(socket, content, payload) {
        const file = fileOf(content, content.file_id);
        // An edited file keeps its automatic code.
        const before = files[file._id] || ctx.data.initial_property.find((f) => f._id === file._id);
        if (before && before.code)
          file.code.auto = before.code.auto;
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
