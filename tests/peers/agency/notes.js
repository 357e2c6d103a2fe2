// Notes, tasks, contacts, districts, hashtags and file notes: the events the notes drawer, the
// phone book, the district and hashtag settings and a file's notes send.
//
// Commands: {"cmd":"exist","id":D}  the removal of district D is answered with "exist" true.
//           {"cmd":"kinds","id":C,"type":[K...]}  contact C gets these kinds, and every client
//                                                 is told by a "contact_notify" edit.
'use strict';

module.exports = function (ctx) {
  const { data, reply, stamp } = ctx;
  const M = data.manager._id;
  let serial = 0;
  const newId = (prefix) => `${M}-${prefix}new${++serial}`;
  const person = (c) => c.agent_id || c.user_id;

  const notes = new Map(data.initial_note.map((n) => [n._id, n]));
  const contacts = new Map(data.initial_customer.map((c) => [c._id, c]));
  const districts = new Map(data.initial_district.map((d) => [d._id, d]));
  const hashtags = new Map(data.initial_hashtag.map((h) => [h._id, h]));
  const activities = new Map(data.initial_activity.map((a) => [a._id, a]));
  const exist = new Set();
  const agentIds = data.initial_agent.map((a) => a.agent_ref._id);
  const tasks = new Map();
  if (agentIds.length) {
    tasks.set(`${M}-k1`, { _id: `${M}-k1`, user_ref: M, title: 'پیگیری قرارداد', body: 'تماس با مالک',
      assignedTo: [agentIds[0]], create: 1700000000000 });
  }

  const ok = (socket, name, content) => reply(socket, name, content);
  const missing = (socket, name, what) => reply(socket, name, { result: null }, null, 1, 0, true,
    { msg: what + ' پیدا نشد' });

  const openTasks = () => [...tasks.values()].filter((t) => !t.doneBy);

  const handlers = {
    count(socket) {
      ok(socket, 'count', { count: { task: openTasks().length, colleague: 0, conversation: 0 } });
    },

    note_create(socket, c) {
      const note = { _id: newId('n'), user_ref: person(c), title: c.title, body: c.body, color: c.color,
        date: { alarm: Number(c.date && c.date.alarm) || 0 } };
      notes.set(note._id, note);
      ok(socket, 'note_create', { result: note });
    },
    note_edit(socket, c) {
      const old = notes.get(c.note_id);
      if (!old) return missing(socket, 'note_edit', 'یادداشت');
      const note = { ...old, title: c.title, body: c.body, color: c.color,
        date: { alarm: Number(c.date && c.date.alarm) || 0 } };
      notes.set(note._id, note);
      ok(socket, 'note_edit', { result: note });
    },
    note_remove(socket, c) {
      if (!notes.delete(c.note_id)) return missing(socket, 'note_remove', 'یادداشت');
      ok(socket, 'note_remove', { result: { _id: c.note_id } });
    },

    task_list(socket, c) {
      const done = Number(c.type) === 1;
      ok(socket, 'task_list', { list: [...tasks.values()].filter((t) => !!t.doneBy === done) });
    },
    task_create(socket, c) {
      const task = { _id: newId('k'), user_ref: person(c), title: c.title, body: c.body,
        assignedTo: c.assignedTo || [], create: Date.now() };
      tasks.set(task._id, task);
      ok(socket, 'task_create', { result: task });
    },
    task_edit(socket, c) {
      const old = tasks.get(c.task_id);
      if (!old) return missing(socket, 'task_edit', 'وظیفه');
      const task = { ...old, title: c.title, body: c.body, assignedTo: c.assignedTo || [] };
      tasks.set(task._id, task);
      ok(socket, 'task_edit', { result: task });
    },
    task_remove(socket, c) {
      if (!tasks.delete(c.task_id)) return missing(socket, 'task_remove', 'وظیفه');
      ok(socket, 'task_remove', { result: { _id: c.task_id } });
    },
    task_done(socket, c) {
      const old = tasks.get(c.task_id);
      if (!old) return missing(socket, 'task_done', 'وظیفه');
      const task = { ...old, doneBy: person(c), description: c.description || '' };
      tasks.set(task._id, task);
      ok(socket, 'task_done', { result: task });
    },

    contact_create(socket, c) {
      const contact = { _id: newId('c'), user_ref: c.user_id, name_family: c.name_family, mobile_1: c.mobile_1,
        mobile_2: c.mobile_2 || '', job: c.job || '', address: c.address || '', phone_1: '', phone_2: '',
        type: [Number(c.type) || 18] };
      contacts.set(contact._id, contact);
      ok(socket, 'contact_create', { result: contact });
    },
    contact_edit(socket, c) {
      const old = contacts.get(c.contact_id);
      if (!old) return missing(socket, 'contact_edit', 'مخاطب');
      const contact = { ...old };
      for (const k of ['name_family', 'mobile_1', 'mobile_2', 'job', 'address'])
        if (c[k] !== undefined) contact[k] = c[k];
      contacts.set(contact._id, contact);
      ok(socket, 'contact_edit', { result: contact });
    },
    // Only the named kind goes; the contact is answered with the kinds it keeps.
    contact_remove(socket, c) {
      const old = contacts.get(c.contact_id);
      if (!old) return missing(socket, 'contact_remove', 'مخاطب');
      const contact = { ...old, type: old.type.filter((t) => Number(t) !== Number(c.type)) };
      if (contact.type.length) contacts.set(contact._id, contact);
      else contacts.delete(contact._id);
      ok(socket, 'contact_remove', { result: contact });
    },

    district_create(socket, c) {
      const d = { _id: newId('d'), user_ref: M, title: c.title };
      districts.set(d._id, d);
      ok(socket, 'district_create', { result: d });
    },
    district_edit(socket, c) {
      const old = districts.get(c.district_id);
      if (!old) return missing(socket, 'district_edit', 'منطقه');
      const d = { ...old, title: c.title };
      districts.set(d._id, d);
      ok(socket, 'district_edit', { result: d });
    },
    district_remove(socket, c) {
      if (exist.has(c.district_id)) return ok(socket, 'district_remove', { exist: true, result: null });
      if (!districts.delete(c.district_id)) return missing(socket, 'district_remove', 'منطقه');
      ok(socket, 'district_remove', { exist: false, result: { _id: c.district_id } });
    },

    hashtag_create(socket, c) {
      const h = { _id: newId('h'), user_ref: M, title: c.hashtag };
      hashtags.set(h._id, h);
      ok(socket, 'hashtag_create', { result: h });
    },
    hashtag_edit(socket, c) {
      const old = hashtags.get(c.hashtag_id);
      if (!old) return missing(socket, 'hashtag_edit', 'برچسب');
      const h = { ...old, title: c.hashtag };
      hashtags.set(h._id, h);
      ok(socket, 'hashtag_edit', { result: h });
    },
    hashtag_remove(socket, c) {
      if (!hashtags.delete(c.hashtag_id)) return missing(socket, 'hashtag_remove', 'برچسب');
      ok(socket, 'hashtag_remove', { result: { _id: c.hashtag_id } });
    },

    file_note_list(socket, c) {
      ok(socket, 'file_note_list', { list: [...activities.values()].filter((a) => a.file_ref === c.file_id) });
    },
    file_note_create(socket, c) {
      const a = { _id: newId('ac'), user_ref: person(c), file_ref: c.file_id, type: Number(c.type) || 1,
        message: c.message, date: stamp(), media_links: [] };
      activities.set(a._id, a);
      ok(socket, 'file_note_create', { result: a });
    },
    file_note_edit(socket, c) {
      const old = activities.get(c._id);
      if (!old) return missing(socket, 'file_note_edit', 'یادداشت فایل');
      const a = { ...old, message: c.message };
      activities.set(a._id, a);
      ok(socket, 'file_note_edit', { result: a });
    },
    file_note_remove(socket, c) {
      if (!activities.delete(c._id)) return missing(socket, 'file_note_remove', 'یادداشت فایل');
      ok(socket, 'file_note_remove', { result: [{ _id: c._id }] });
    },
  };

  return {
    handlers,
    commands: {
      kinds(c) {
        const old = contacts.get(c.id);
        if (!old) return ctx.out({ ev: 'error', message: 'no contact ' + c.id });
        const contact = { ...old, type: c.type.map(Number) };
        contacts.set(contact._id, contact);
        ctx.push('contact_notify', { type: 'edit', data: contact });
      },
      exist(c) {
        exist.add(c.id);
        ctx.out({ ev: 'armed', kind: 'exist', name: c.id });
      },
    },
  };
};
