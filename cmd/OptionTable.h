#pragma once
// A command line read against a table of options: "--name VALUE", "--name=VALUE", "-n VALUE",
// flags without a value, "--" ending the options, and positional arguments. It knows nothing of
// what the options mean; the program maps each one (cmd/CmdOptions.cpp).
#include <functional>
#include <string>
#include <vector>

namespace cmd
{

struct OptionSpec
{
    const char* longName;
    char shortName; // 0: none
    bool takesValue;
    int id; // the program's own number for the option
};

// Answers an error text, empty when the argument was taken.
using OptionHandler = std::function<std::string(const OptionSpec& option, const std::string& value)>;
using PositionalHandler = std::function<std::string(const std::string& argument)>;

// Reads args (without the program name) in order, handing each option and positional argument
// to its handler; stops at the first error and answers it (empty: the whole line was read).
std::string ReadArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& table,
                          const OptionHandler& onOption, const PositionalHandler& onPositional);

} // namespace cmd
