#include "cmd/OptionTable.h"

#include <optional>

namespace cmd
{

namespace
{

const OptionSpec* FindLong(const std::vector<OptionSpec>& table, const std::string& name)
{
    for (const OptionSpec& option : table)
        if (name == option.longName)
            return &option;
    return nullptr;
}

const OptionSpec* FindShort(const std::vector<OptionSpec>& table, char name)
{
    for (const OptionSpec& option : table)
        if (option.shortName != 0 && option.shortName == name)
            return &option;
    return nullptr;
}

} // namespace

std::string ReadArguments(const std::vector<std::string>& args, const std::vector<OptionSpec>& table,
                          const OptionHandler& onOption, const PositionalHandler& onPositional)
{
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        const OptionSpec* option = nullptr;
        std::optional<std::string> inlineValue;
        if (!optionsEnded && arg == "--")
        {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg.size() > 2 && arg.compare(0, 2, "--") == 0)
        {
            const size_t equals = arg.find('=');
            option =
                FindLong(table, arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2));
            if (equals != std::string::npos)
                inlineValue = arg.substr(equals + 1);
        }
        else if (!optionsEnded && arg.size() == 2 && arg[0] == '-' && arg[1] != '-')
            option = FindShort(table, arg[1]);
        else if (!optionsEnded && arg.size() > 1 && arg[0] == '-')
            return "unknown option " + arg;
        else
        {
            std::string error = onPositional(arg);
            if (!error.empty())
                return error;
            continue;
        }

        if (!option)
            return "unknown option " + arg;
        if (!option->takesValue)
        {
            if (inlineValue)
                return "option --" + std::string(option->longName) + " takes no value";
        }
        else if (!inlineValue)
        {
            if (i + 1 >= args.size())
                return "option " + arg + " needs a value";
            inlineValue = args[++i];
        }
        std::string error = onOption(*option, inlineValue.value_or(std::string()));
        if (!error.empty())
            return error;
    }
    return {};
}

} // namespace cmd
