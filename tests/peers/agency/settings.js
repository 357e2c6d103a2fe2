// The agency settings events: the agent list and its changes, the profile edit, devices and
// colleagues. Agents live in the server's own list, so a change shows in the next list.
'use strict';

module.exports = function settings(ctx) {
  const agents = ctx.data.initial_agent;
  const manager = ctx.data.manager;
  const M = manager._id;
  const devices = [
    { _id: 'dev-1', platform: 64, os: 'Linux', app: '134', ip: '127.0.0.1', model: '' },
    { _id: 'dev-2', platform: 128, os: 'Android 14', app: '134', ip: '10.0.0.2', model: 'Pixel' },
  ];
  let created = 0;
  const find = (id) => agents.findIndex((a) => a.agent_ref._id === id);
  const reply = (socket, name, content, payload) => ctx.reply(socket, name, content, payload);

  return {
    handlers: {
      account_agent_list(socket, content, payload) {
        reply(socket, 'account_agent_list', { list: agents }, payload);
      },
      account_agent_status(socket, content, payload) {
        const i = find(content.agent_id);
        if (i === -1)
          return ctx.reply(socket, 'account_agent_status', { result: null }, payload, undefined, 0, true, 'مشاور یافت نشد');
        agents[i].status = { type: content.status.type, text: '' };
        reply(socket, 'account_agent_status', { result: agents[i] }, payload);
      },
      account_agent_create(socket, content, payload) {
        const record = {
          agent_ref: { _id: `${M}-new${++created}`, mobile: content.agent_id, name_family: '' },
          user_ref: M, access: content.access, type: content.type,
          device: [{ platform: 64, token: '' }], status: { type: 1, text: '' }, date: ctx.stamp(),
        };
        agents.push(record);
        reply(socket, 'account_agent_create', { result: record }, payload);
      },
      account_agent_edit(socket, content, payload) {
        const i = find(content.agent_id);
        if (i === -1)
          return ctx.reply(socket, 'account_agent_edit', { result: null }, payload, undefined, 0, true, 'مشاور یافت نشد');
        agents[i].access = content.access;
        agents[i].type = content.type;
        reply(socket, 'account_agent_edit', { result: agents[i] }, payload);
      },
      account_agent_remove(socket, content, payload) {
        const i = find(content.agent_id);
        if (i !== -1)
          agents.splice(i, 1);
        reply(socket, 'account_agent_remove', { remove: { user_ref: M, agent_ref: content.agent_id, _id: content.agent_id } }, payload);
      },
      account_agent_replace(socket, content, payload) {
        const i = find(content.agent_id);
        const append = { agent_ref: { _id: `${M}-swap${++created}`, mobile: '09390000000', name_family: 'مشاور جایگزین' },
          user_ref: M, access: i === -1 ? 448 : agents[i].access, type: i === -1 ? 0 : agents[i].type,
          device: [], status: { type: 1, text: '' },
          // The new number takes over the agent's form settings.
          setting: (i !== -1 && agents[i].setting) || { form: JSON.stringify([{ key: 51, parent_key: 'property' }]) } };
        if (i !== -1)
          agents[i] = append;
        reply(socket, 'account_agent_replace', { append, remove: { user_ref: M, agent_ref: content.agent_id } }, payload);
      },
      // The server keeps the profile and answers with the whole of it but the type and the device:
      // its picture too, the one just sent or the one it had (none when it never had one).
      account_edit(socket, content, payload) {
        if (content.image)
          manager.profile_image = ctx.publicAddress ? ctx.publicAddress(content.image) : content.image;
        Object.assign(manager, { name_family: content.name_family, business_name: content.business_name,
          union_code: content.union_code, city_ref: content.city_id, map: content.map, info: content.info,
          desc: content.desc });
        const result = { _id: M, mobile: manager.mobile, name_family: manager.name_family,
          business_name: manager.business_name, union_code: manager.union_code, city_ref: manager.city_ref,
          map: manager.map, info: manager.info, desc: manager.desc };
        if (manager.profile_image)
          result.profile_image = manager.profile_image;
        reply(socket, 'account_edit', { result }, payload);
      },
      account_device(socket, content, payload) {
        reply(socket, 'account_device', { list: devices }, payload);
      },
      account_device_remove(socket, content, payload) {
        const i = devices.findIndex((d) => d._id === content.device_id);
        if (i !== -1)
          devices.splice(i, 1);
        reply(socket, 'account_device_remove', { result: true }, payload);
      },
      colleague_list(socket, content, payload) {
        const list = [
          { _id: 'col-1', business_name: 'املاک همسایه', name_family: 'همکار یک', mobile: '09121112233',
            info: { phone_1: '02122223333' }, map: { lat: 35.71, lng: 51.41 } },
          { _id: 'col-2', business_name: 'املاک <b>نو</b>', name_family: 'همکار دو', mobile: '09124445566',
            info: {}, map: { lat: 35.69, lng: 51.39 } },
        ];
        reply(socket, 'colleague_list', { list }, payload);
      },
      media_link_remove(socket, content, payload) {
        reply(socket, 'media_link_remove', { result: true }, payload);
      },
    },
  };
};
