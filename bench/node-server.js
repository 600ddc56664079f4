// Node's own http module serving the board page, as the anchor most wall-display products stand
// on: one fixed page, the board's content type, connection closed when the client asks.
//   node bench/node-server.js PORT PAGE-FILE     (127.0.0.1 only; prints "ready <port>")
'use strict';
const http = require('http');
const fs = require('fs');

const [port, pageFile] = process.argv.slice(2);
const page = fs.readFileSync(pageFile);
const server = http.createServer((request, response) => {
  response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8', 'Content-Length': page.length });
  response.end(page);
});
server.listen({ host: '127.0.0.1', port: Number(port), backlog: 511 }, () => console.log(`ready ${port}`));
