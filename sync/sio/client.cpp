// The socket.io client.
