'use strict';
// The shelf and board events of the home screens: every answer carries what the screens store,
// in the server's shapes (results with "_id", access lists, the board's filters).

module.exports = function home(ctx) {
  const M = ctx.opts.manager;
  let serial = 0;
  const newId = (kind) => `${M}-${kind}new${++serial}`;
  const answer = (name) => (socket, content, payload) => ctx.reply(socket, name, content, payload);
  const shelves = new Map(ctx.data.initial_shelf.map((s) => [s._id, s]));
  const boards = new Map(ctx.data.initial_tavorlin.map((b) => [b._id, b]));

  const shelfResult = (s) => ({ _id: s._id, user_ref: M, name: s.name, color: s.color, type: s.type,
    access: s.access || [] });

  function board(fields) {
    const b = { _id: newId('t'), user_ref: M, name: fields.name || '', trade_ref: Number(fields.trade_id),
      property_ref: Number(fields.property_id), color: Number(fields.color) || 1, share: [],
      access: fields.access || [], filter: fields.filter || [] };
    boards.set(b._id, b);
    return b;
  }

  const handlers = {
    shelf_create(socket, c, payload) {
      const s = { _id: newId('s'), name: c.name, color: Number(c.color), type: Number(c.type) || 0, access: [] };
      shelves.set(s._id, s);
      answer('shelf_create')(socket, { result: shelfResult(s) }, payload);
    },
    shelf_edit(socket, c, payload) {
      const s = shelves.get(c.shelf_id) || { _id: c.shelf_id, access: [] };
      Object.assign(s, { name: c.name, color: Number(c.color), type: Number(c.type) || 0 });
      shelves.set(s._id, s);
      answer('shelf_edit')(socket, { result: shelfResult(s) }, payload);
    },
    shelf_remove(socket, c, payload) {
      shelves.delete(c.shelf_id);
      answer('shelf_remove')(socket, { result: { _id: c.shelf_id } }, payload);
    },
    shelf_access(socket, c, payload) {
      const s = shelves.get(c.shelf_id) || { _id: c.shelf_id, access: [] };
      s.access = (s.access || []).filter((a) => !(c.agent_remove || []).includes(a)).concat(c.agent_add || []);
      answer('shelf_access')(socket, { result: { _id: c.shelf_id, access: s.access } }, payload);
    },
    shelf_agent_access(socket, c, payload) {
      answer('shelf_agent_access')(socket, { agent_id: c.agent_access, success_add: c.shelf_add || [],
        success_remove: c.shelf_remove || [] }, payload);
    },
    // Boards sent without an id are created; they come back keyed by their place in the request.
    shelf_tavorlin(socket, c, payload) {
      const tavorlins = {};
      (c.tavorlin_add || []).forEach((item, i) => {
        if (!item.tavorlin_id && item.tavorlin)
          tavorlins[String(i)] = board(item.tavorlin);
      });
      answer('shelf_tavorlin')(socket, { shelf_id: c.shelf_id, tavorlin_add: c.tavorlin_add || [],
        tavorlin_remove: c.tavorlin_remove || [], tavorlins }, payload);
    },
    shelf_tavorlin_remove(socket, c, payload) {
      answer('shelf_tavorlin_remove')(socket, { shelf_id: c.shelf_id, tavorlin_id: c.tavorlin_id }, payload);
    },
    tavorlin_create(socket, c, payload) {
      const b = board(c);
      answer('tavorlin_create')(socket, { shelf_id: c.shelf_id, result: b }, payload);
    },
    tavorlin_edit(socket, c, payload) {
      const b = boards.get(c.tavorlin_id) || { _id: c.tavorlin_id };
      Object.assign(b, { color: Number(c.color), name: c.name });
      answer('tavorlin_edit')(socket, { result: { _id: b._id, color: b.color, name: b.name } }, payload);
    },
    tavorlin_remove(socket, c, payload) {
      boards.delete(c.tavorlin_id);
      answer('tavorlin_remove')(socket, { result: { _id: c.tavorlin_id } }, payload);
    },
    tavorlin_access(socket, c, payload) {
      const b = boards.get(c.tavorlin_id) || { _id: c.tavorlin_id, access: [] };
      b.access = (b.access || []).filter((a) => !(c.agent_remove || []).includes(a)).concat(c.agent_add || []);
      answer('tavorlin_access')(socket, { result: { _id: c.tavorlin_id, access: b.access } }, payload);
    },
    tavorlin_agent_access(socket, c, payload) {
      answer('tavorlin_agent_access')(socket, { agent_id: c.agent_access, success_add: c.tavorlin_add || [],
        success_remove: c.tavorlin_remove || [] }, payload);
    },
    district_create(socket, c, payload) {
      answer('district_create')(socket, { result: { _id: newId('d'), user_ref: M, title: c.title } }, payload);
    },
  };
  return { handlers };
};
