#pragma once
// Where serial port "COMn" lives on this system. By default COMn is the
// USB serial adapter /dev/ttyUSB<n-1>; the user's port map file can name
// another device per port, one line each:
//
//     # comments and blank lines are ignored
//     COM2=/dev/ttyACM0
//
// Only this file names device paths: a port number alone is all that the
// program's other data (projects, robot files, settings) can carry.
#include <string>

namespace platform {

// Name of the port map file in the program's base directory.
inline const char* portMapFileName() { return "comports.txt"; }

// /dev/ttyUSB<n-1> for port 1..16; empty for any other number.
std::string defaultSerialDevice(unsigned port);

// The device that map text names for port, or empty when it names none.
// A line counts only when its port is 1..16 and its path is absolute and
// free of control characters; the first such line for the port wins.
std::string portMapLookup(const std::string& text, unsigned port);

// Device for port: the entry of the map file (at most 64 KiB is read; a
// missing file is not an error) or else the default. Empty outside 1..16.
std::string serialDevicePath(unsigned port, const std::string& mapFile);

} // namespace platform
