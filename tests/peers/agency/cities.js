// The provinces' cities the splash asks for on a first start; the agency's manager lives in
// "city-1".
'use strict';

module.exports = function cities(ctx) {
  const list = [
    { _id: 'city-1', name: 'تهران', province_ref: 'province-1', version: 1 },
    { _id: 'city-2', name: 'کرج', province_ref: 'province-2', version: 1 },
    { _id: 'city-3', name: 'اصفهان', province_ref: 'province-3', version: 1 },
  ];
  return {
    handlers: {
      province_list(socket, content, payload) {
        ctx.reply(socket, 'province_list', { list }, payload);
      },
    },
  };
};
