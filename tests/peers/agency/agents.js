// Logging in as the manager or as any of the agency's agents, by mobile number, and an agent's
// rights set at start (--agent I:ACCESS[:TYPE], agent I counted from 0) or on command:
//   {"cmd":"agent","agent":I or id or mobile,"access"?,"type"?,"notify"?}  sets them and, unless
//   notify is false, pushes the "agent_edit" account notice the real server sends on such a change.
'use strict';

module.exports = function agents(ctx) {
  const { data, reply } = ctx;
  const manager = data.manager;
  const list = data.initial_agent;

  function find(key) {
    if (typeof key === 'number')
      return list[key] || null;
    return list.find((a) => a.agent_ref._id === key || a.agent_ref.mobile === key) || null;
  }

  // The server's agent record at login: the owner as an object, a device of this login with a token.
  function loginRecord(agent) {
    agent.device = [{ platform: 64, token: 'token-' + agent.agent_ref._id }];
    return Object.assign({}, agent, { user_ref: manager });
  }

  function setRights(agent, access, type) {
    if (access !== undefined)
      agent.access = Number(access);
    if (type !== undefined)
      agent.type = Number(type);
  }

  for (const spec of ctx.opts.agentRights || []) {
    const [index, access, type] = String(spec).split(':');
    const agent = find(Number(index));
    if (!agent)
      throw new Error('no agent ' + index);
    setRights(agent, access, type);
  }

  return {
    handlers: {
      verify_check(socket, content, payload) {
        const agent = find(String(content.mobile));
        if (agent)
          return reply(socket, 'verify_check', { match: true, account: null, agent: [loginRecord(agent)] }, payload);
        reply(socket, 'verify_check', { match: true, account: manager, agent: [] }, payload);
      },
      account_login(socket, content, payload) {
        const agent = content.agent_id ? find(String(content.agent_id))
          : content.user_id ? null : find(String(content.mobile));
        if (agent)
          return reply(socket, 'account_login', { agent: loginRecord(agent) }, payload);
        reply(socket, 'account_login', { account: manager }, payload);
      },
    },
    commands: {
      agent(c) {
        const agent = find(c.agent);
        if (!agent)
          return ctx.out({ ev: 'error', message: 'no agent ' + c.agent });
        setRights(agent, c.access, c.type);
        ctx.out({ ev: 'agent', id: agent.agent_ref._id, access: agent.access, type: agent.type });
        if (c.notify !== false)
          ctx.push('account_notify', { type: 'agent_edit', data: agent, user_id: manager._id });
      },
    },
  };
};
