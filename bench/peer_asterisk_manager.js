// The same byte stream parsed by a widely used AMI client library (npm "asterisk-manager"):
// a local server writes the file, the library connects and parses it into events.
//   node peer_asterisk_manager.js <file.day> <events>
'use strict';
const net = require('net');
const fs = require('fs');
const Manager = require('asterisk-manager');

const [file, expectedText] = process.argv.slice(2);
const expected = parseInt(expectedText, 10);

const server = net.createServer((socket) => {
    socket.on('error', () => {});
    fs.createReadStream(file, { highWaterMark: 64 * 1024 }).pipe(socket);
});

server.listen(0, '127.0.0.1', () => {
    let count = 0;
    let start = 0n;
    // No user name: the library sends no login and only reads.
    const ami = new Manager(server.address().port, '127.0.0.1', undefined, undefined, true);
    ami.on('connect', () => { start = process.hrtime.bigint(); });
    ami.on('managerevent', () => {
        if (++count < expected) return;
        const ns = Number(process.hrtime.bigint() - start);
        console.log(JSON.stringify({ events: count, ns, eventsPerSecond: count * 1e9 / ns }));
        process.exit(0);
    });
    setTimeout(() => {
        console.log(JSON.stringify({ events: count, ns: -1, eventsPerSecond: 0 }));
        process.exit(1);
    }, 30 * 60 * 1000);
});
