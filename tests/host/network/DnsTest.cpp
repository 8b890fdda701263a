#include "network/Dns.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

namespace
{

using network::Packet;

constexpr uint32_t kAsked = 0x7F000105u; // 127.0.1.5
constexpr uint16_t kId = 0x1234;
constexpr uint16_t kAnswerFlags = 0x8400; // a response with authority
constexpr uint16_t kPtr = network::kDnsTypePtr;
constexpr uint16_t kIn = network::kDnsClassInternet;

Packet Cat(std::initializer_list<Packet> parts)
{
    Packet all;
    for (const Packet& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Packet Be16(uint16_t value)
{
    return {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)};
}

Packet Label(const std::string& text)
{
    Packet bytes{static_cast<uint8_t>(text.size())};
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

// Labels, then the root.
Packet Name(std::initializer_list<std::string> labels)
{
    Packet bytes;
    for (const std::string& label : labels)
        bytes = Cat({bytes, Label(label)});
    bytes.push_back(0);
    return bytes;
}

Packet Pointer(uint16_t offset)
{
    return Be16(static_cast<uint16_t>(0xC000 | offset));
}

Packet Header(uint16_t questions, uint16_t answers, uint16_t flags = kAnswerFlags, uint16_t id = kId)
{
    return Cat({Be16(id), Be16(flags), Be16(questions), Be16(answers), Be16(0), Be16(0)});
}

const Packet kReverse = Name({"5", "1", "0", "127", "in-addr", "arpa"}); // at offset 12 when asked
const uint16_t kAnswerAt = static_cast<uint16_t>(12 + kReverse.size() + 4);

Packet Question(const Packet& name = kReverse, uint16_t type = kPtr)
{
    return Cat({name, Be16(type), Be16(kIn)});
}

Packet Record(const Packet& owner, uint16_t type, uint16_t recordClass, const Packet& data)
{
    return Cat({owner, Be16(type), Be16(recordClass), Packet{0, 0, 0, 120},
                Be16(static_cast<uint16_t>(data.size())), data});
}

// What Windows answers: the question repeated, the owner by a pointer to it, the cache-flush bit.
Packet WindowsStyle(const Packet& target)
{
    return Cat({Header(1, 1), Question(), Record(Pointer(12), kPtr, 0x8001, target)});
}

std::string Long(char c, size_t count)
{
    return std::string(count, c);
}

struct Row
{
    const char* what;
    Packet message;
    const char* name; // null: refused
};

const Row kRows[] = {
    {"the question repeated, the owner by a pointer", WindowsStyle(Name({"DESKTOP-01", "local"})),
     "DESKTOP-01.local"},
    {"no question, the owner written out",
     Cat({Header(0, 1), Record(kReverse, kPtr, kIn, Name({"nas", "local"}))}), "nas.local"},
    {"other records first, the name by a pointer into one of them",
     Cat({Header(0, 2), Record(Name({"printer", "local"}), 1, kIn, {127, 0, 1, 5}),
          Record(kReverse, kPtr, kIn, Cat({Label("alpha"), Pointer(12 + 8)}))}),
     "alpha.local"},
    {"the owner's case does not matter",
     Cat({Header(0, 1), Record(Name({"5", "1", "0", "127", "IN-ADDR", "Arpa"}), kPtr, kIn, Name({"x"}))}),
     "x"},
    {"a name of UTF-8 letters", WindowsStyle(Name({"Caf\xC3\xA9", "local"})), "Caf\xC3\xA9.local"},
    {"a name of 255 bytes on the wire",
     WindowsStyle(Name({Long('a', 63), Long('b', 63), Long('c', 63), Long('d', 61)})),
     "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa."
     "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb."
     "ccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccccc."
     "ddddddddddddddddddddddddddddddddddddddddddddddddddddddddddddd"},
    {"the truncation bit alone changes nothing",
     Cat({Header(1, 1, 0x8600), Question(), Record(Pointer(12), kPtr, kIn, Name({"tc", "local"}))}),
     "tc.local"},

    {"another question's id",
     Cat({Header(1, 1, kAnswerFlags, kId + 1), Question(), Record(Pointer(12), kPtr, kIn, Name({"x"}))}),
     nullptr},
    {"a question, not an answer",
     Cat({Header(1, 1, 0x0000), Question(), Record(Pointer(12), kPtr, kIn, Name({"x"}))}), nullptr},
    {"another opcode", Cat({Header(1, 1, 0x8800), Question(), Record(Pointer(12), kPtr, kIn, Name({"x"}))}),
     nullptr},
    {"an error code", Cat({Header(1, 0, 0x8403), Question()}), nullptr},
    {"no answer record", Cat({Header(1, 0), Question()}), nullptr},
    {"another address's name",
     Cat({Header(0, 1), Record(Name({"6", "1", "0", "127", "in-addr", "arpa"}), kPtr, kIn, Name({"x"}))}),
     nullptr},
    {"an address record, not a PTR", Cat({Header(0, 1), Record(kReverse, 1, kIn, {127, 0, 1, 5})}), nullptr},
    {"another class", Cat({Header(0, 1), Record(kReverse, kPtr, 3, Name({"x"}))}), nullptr},
    {"the root as the name", WindowsStyle(Name({})), nullptr},
    {"more bytes in the record than its name", WindowsStyle(Cat({Name({"x"}), Packet{0}})), nullptr},
    {"a name running past its record",
     Cat({Header(0, 1), kReverse, Be16(kPtr), Be16(kIn), Packet{0, 0, 0, 1}, Be16(2), Label("longer"),
          Packet{0}}),
     nullptr},
    {"a record longer than the message",
     Cat({Header(0, 1), kReverse, Be16(kPtr), Be16(kIn), Packet{0, 0, 0, 1}, Be16(40), Name({"x"})}),
     nullptr},
    {"more answers counted than sent",
     Cat({Header(1, 2), Question(), Record(Pointer(12), kPtr, kIn, Name({"x"}))}), nullptr},
    {"more questions counted than sent",
     Cat({Header(2, 1), Question(), Record(Pointer(12), kPtr, kIn, Name({"x"}))}), nullptr},
    {"a pointer to itself",
     Cat({Header(1, 1), Question(), Record(Pointer(kAnswerAt), kPtr, kIn, Name({"x"}))}), nullptr},
    {"a pointer forward", Cat({Header(0, 1), Record(Pointer(14), kPtr, kIn, Name({"x"})), kReverse}),
     nullptr},
    {"a pointer back into the labels it follows",
     Cat({Header(1, 1), Question(),
          Record(Pointer(12), kPtr, kIn, Cat({Label("x"), Pointer(kAnswerAt + 12)}))}),
     nullptr},
    {"two pointers that lead to each other",
     Cat({Header(1, 1), Question(Pointer(18)), Record(Pointer(12), kPtr, kIn, Name({"x"}))}), nullptr},
    {"a label of 64 bytes (a reserved kind)", WindowsStyle(Name({Long('a', 64)})), nullptr},
    {"a label of the other reserved kind", WindowsStyle(Cat({Packet{0x80, 'a'}, Packet{0}})), nullptr},
    {"a name of 257 bytes on the wire",
     WindowsStyle(Name({Long('a', 63), Long('b', 63), Long('c', 63), Long('d', 63)})), nullptr},
    {"a name kept short by pointers that grows past 255 bytes",
     Cat({Header(0, 2), Record(Name({Long('a', 63), Long('b', 63), Long('c', 63)}), 1, kIn, {1, 2, 3, 4}),
          Record(kReverse, kPtr, kIn, Cat({Label(Long('d', 63)), Pointer(12)}))}),
     nullptr},
    {"a label with a dot inside", WindowsStyle(Name({"a.b", "local"})), nullptr},
    {"a label with a control character", WindowsStyle(Name({"a\nb", "local"})), nullptr},
    {"a label that is not UTF-8", WindowsStyle(Name({"caf\xE9", "local"})), nullptr},
    {"an overlong UTF-8 form", WindowsStyle(Name({"\xC0\xAE", "local"})), nullptr},
    {"a header alone", Header(0, 0), nullptr},
    {"less than a header", Packet{0x12, 0x34, 0x84}, nullptr},
};

std::optional<std::string> Decode(const Packet& message, uint32_t address = kAsked)
{
    return network::DecodeReverseAnswer(message.data(), message.size(), kId, address);
}

TEST(ReverseQuestion, AsksThePtrOfTheReversedAddressUnderInAddrArpa)
{
    EXPECT_EQ(network::ReverseName(0xC0A80142u), "66.1.168.192.in-addr.arpa");
    EXPECT_EQ(network::EncodeReverseQuestion(0xBEEF, kAsked),
              Cat({Header(1, 0, 0x0000, 0xBEEF), Question()}));
}

TEST(ReverseAnswer, DecodesWhatIsWholeAndRefusesEverythingElse)
{
    for (const Row& row : kRows)
    {
        const auto name = Decode(row.message);
        if (row.name)
            EXPECT_EQ(name.value_or("(refused)"), row.name) << row.what;
        else
            EXPECT_FALSE(name) << row.what << ": " << *name;
    }
}

TEST(ReverseAnswer, EveryTruncationOfAnAnswerIsRefused)
{
    for (const Row& row : kRows)
    {
        if (!row.name)
            continue;
        for (size_t size = 0; size < row.message.size(); ++size)
            EXPECT_FALSE(network::DecodeReverseAnswer(row.message.data(), size, kId, kAsked))
                << row.what << ", cut to " << size;
    }
}

TEST(ReverseAnswer, ReadNameStopsAfterTheFirstPointer)
{
    const Packet message = Cat({Header(1, 0), Question(), Label("host"), Pointer(12), Packet{0xAB}});
    size_t pos = kAnswerAt;
    const auto labels = network::ReadName(message.data(), message.size(), pos);
    ASSERT_TRUE(labels);
    EXPECT_EQ(*labels, (std::vector<std::string>{"host", "5", "1", "0", "127", "in-addr", "arpa"}));
    EXPECT_EQ(pos, kAnswerAt + 5u + 2u);
}

} // namespace
