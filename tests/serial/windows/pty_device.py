#!/usr/bin/env python3
"""pty_device.py LINK RESUME: the device end of a pseudo-terminal linked as
the Wine COM port LINK. Commands are text lines, answers end with LF:
  ECHO n   send back the next n raw bytes     SEND n  send n bytes "x" at once
  MODE     "<baud> <stop bits> <data bits> <flow control 0/1>"
  PING     "PONG"
  DEAF     read nothing until the host writes to RESUME how many bytes it
           got out; then drop those bytes and go on
  HANGUP   link a fresh terminal, then close this one: the port vanishes"""
import os
import sys
import termios
import time
import tty

SPEEDS = {getattr(termios, "B%d" % b): b
          for b in (1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200)}
SIZES = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}


def open_terminal(link):
    # Our slave end stays open: the master stays readable across reopens.
    master, slave = os.openpty()
    tty.setraw(slave)
    os.symlink(os.ttyname(slave), link + ".new")
    os.replace(link + ".new", link)
    return master, slave


def read_exactly(fd, n):
    data = b""
    while len(data) < n:
        chunk = os.read(fd, n - len(data))
        if not chunk:
            sys.exit("pty_device.py: the terminal closed")
        data += chunk
    return data


def read_line(fd):
    line = b""
    while not line.endswith(b"\n"):
        line += read_exactly(fd, 1)
    return line.decode("latin-1").split()


def mode(slave):
    iflag, _, cflag, _, _, ospeed, _ = termios.tcgetattr(slave)
    stop = 2 if cflag & termios.CSTOPB else 1
    flow = (iflag & (termios.IXON | termios.IXOFF)) or \
        (cflag & termios.CRTSCTS)
    return "%d %d %d %d\n" % (SPEEDS.get(ospeed, 0), stop,
                              SIZES[cflag & termios.CSIZE], 1 if flow else 0)


def main():
    link, resume = sys.argv[1], sys.argv[2]
    master, slave = open_terminal(link)
    while True:
        command, *count = read_line(master) or [""]
        count = int(count[0]) if count else 0
        if command == "ECHO":
            os.write(master, read_exactly(master, count))
        elif command == "SEND":
            os.write(master, b"x" * count)
        elif command == "MODE":
            os.write(master, mode(slave).encode())
        elif command == "PING":
            os.write(master, b"PONG\n")
        elif command == "DEAF":
            while not os.path.exists(resume):
                time.sleep(0.05)
            with open(resume) as f:
                count = int(f.read())
            os.unlink(resume)
            read_exactly(master, count)
        elif command == "HANGUP":
            fresh = open_terminal(link)
            os.close(master)
            os.close(slave)
            master, slave = fresh


main()
