#pragma once
// The reverse lookup by multicast DNS: the PTR question for an IPv4 address's name under
// in-addr.arpa, sent straight to port 5353 of the address (Windows 10 and later, macOS and Avahi
// answer such a question from any port), and the name its answer gives. An answer comes from
// outside: every count, length and compression pointer is checked against the bytes received.
#include "network/NetBios.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace network
{

inline constexpr uint16_t kMdnsPort = 5353;
inline constexpr uint16_t kDnsTypePtr = 12;
inline constexpr uint16_t kDnsClassInternet = 1;
// A name's labels and their lengths on the wire, the root's zero included.
inline constexpr size_t kMaxLabelBytes = 63;
inline constexpr size_t kMaxNameBytes = 255;

// "d.c.b.a.in-addr.arpa" for a.b.c.d (host byte order).
std::string ReverseName(uint32_t address);

// A standard query (no recursion wanted: the node itself answers) for the PTR record of the
// address's reverse name.
Packet EncodeReverseQuestion(uint16_t id, uint32_t address);

// The labels of the name at pos of a message of size bytes, pos moved past it (past the first
// compression pointer when there is one). Empty when the name runs past the message, a label is
// longer than 63 bytes or of a reserved kind, a pointer does not lead back to a position before the
// labels it follows (so pointers never loop), or the whole name is longer than 255 bytes.
std::optional<std::vector<std::string>> ReadName(const uint8_t* data, size_t size, size_t& pos);

// The name the answer to question id about address gives, its labels joined by dots without the
// root (the ".local" of a multicast-DNS name is kept). Empty when the message is not a whole
// answer (every question and answer record it counts must lie within it) or holds no PTR record
// of the class Internet for the address's reverse name, or when the name is empty, has a label
// with a dot or a control character, or is not UTF-8.
std::optional<std::string> DecodeReverseAnswer(const uint8_t* data, size_t size, uint16_t id,
                                               uint32_t address);

// A name a row can show and a console line can print: 1 to 253 bytes of UTF-8 without control
// characters.
bool IsShowableName(const std::string& name);

} // namespace network
