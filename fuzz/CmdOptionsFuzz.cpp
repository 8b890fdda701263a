// FindFileCmd's command line: the input's pieces between zero bytes are the arguments. Whatever
// parses must give date bounds that mean what they say (no "no bound" where a bound was given, and
// no date read as a time of day), and must be taken by the finder or refused by its own checks.
#include "cmd/CmdOptions.h"
#include "engine/FindFile.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/FakeFileSystem.h"
#include "tests/support/FakeLocalTime.h"
#include "tests/support/FakeThreadControl.h"
#include "tests/support/QueueSyncCall.h"

namespace
{

void CheckDateBound(const std::string& text)
{
    for (bool upper : {false, true})
    {
        const std::optional<engine::TDateTime> bound = cmd::ParseDateBound(text, upper);
        if (!bound)
            continue;
        const bool dated = text.find('-') != std::string::npos;
        // 0 is "no bound": only a lower bound at 00:00 on any day may read so, as it holds every time.
        fuzz::Check(*bound > 0 || (*bound == 0 && !upper && !dated),
                    "a bound is never \"no bound\" by mistake");
        fuzz::Check(dated == (*bound >= 1), "a date is a day number, a time alone a fraction");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::vector<std::string> args = input.Pieces('\0');
    for (const std::string& arg : args)
        CheckDateBound(arg);
    const cmd::ParseResult parsed = cmd::ParseCommandLine(args);
    if (!parsed.error.empty() || parsed.options.computers)
        return 0;
    testing_support::FakeFileSystem files;
    testing_support::FakeLocalTime time;
    testing_support::QueueSyncCall sync;
    testing_support::FakeThreadControl threads;
    engine::TFindFile finder({files, time, sync, threads});
    try
    {
        cmd::ApplyOptions(parsed.options, finder);
    }
    catch (const engine::EFindFileError&)
    {
        // The finder's own checks refuse what the console lets through, with their message.
    }
    return 0;
}
