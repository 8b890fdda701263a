// FindFileCmd's help and version texts.
#include "app/Version.h"
#include "cmd/CmdOptions.h"

namespace cmd
{

const char* UsageText()
{
    return "Usage: FindFileCmd [options] [LOCATION]\n"
           "  LOCATION                 the folders to search, separated by \";\"; default: the current "
           "folder\n"
           "  -n, --name MASK          the file-name mask (default *.*)\n"
           "  -i, --include LINE       one full pattern, folder and mask (repeatable; replaces name and "
           "location)\n"
           "  -x, --exclude MASK       one exclusion mask (repeatable)\n"
           "      --no-subfolders      search only the named folders\n"
           "  -a, --attributes LETTERS attribute letters A R H S D (default ARHS; \"\" for none)\n"
           "      --exact-attributes   the attributes must be exactly these\n"
           "      --modified-after V, --modified-before V, --created-after V, --created-before V,\n"
           "      --accessed-after V, --accessed-before V\n"
           "                           V is YYYY-MM-DD (a whole day), HH:MM[:SS] (a time of day),\n"
           "                           or YYYY-MM-DDTHH:MM[:SS]; the bounds are inclusive, their\n"
           "                           dates from 1899-12-31 on\n"
           "      --size-min BYTES, --size-max BYTES\n"
           "  -c, --containing TEXT    the text the file must contain\n"
           "      --case-sensitive     match the text's letter case exactly\n"
           "      --documents yes|no   look for the text inside Word, Excel, PowerPoint and OpenDocument\n"
           "                           files (.docx, .xlsx, .pptx, .odt, .ods, .odp ...; default yes)\n"
           "      --archives yes|no    look for the text inside the text files of zip archives\n"
           "                           (default no)\n"
           "      --search FILE        the criteria of a search file (.ffsearch) saved by the window:\n"
           "                           name, text, place, subfolders, date, size and the kinds searched\n"
           "                           inside (a LOCATION, --documents or --archives given here takes\n"
           "                           the place of the file's)\n"
           "      --threaded           search on a worker thread; events still come on the main thread\n"
           "      --prefetch, --no-prefetch\n"
           "                           open the folders the walk enters next on a helper thread, or\n"
           "                           not (default: only without --threaded, with 2 processors or more)\n"
           "      --scan-ahead, --no-scan-ahead\n"
           "                           scan long files for the text on a helper thread too, two at\n"
           "                           a time, or not (default: with 2 processors or more)\n"
           "  -f, --format FORM        how each entry found is printed: paths (default), tsv, csv or\n"
           "                           jsonl (with --computers: tsv, the default, or jsonl)\n"
           "      --events             print every event instead of only the entries found\n"
           "      --computers [TEXT]   find computers on the network whose name contains TEXT or whose\n"
           "                           IP address is TEXT (all computers without TEXT)\n"
           "      --domains            with --computers: also the domains whose name contains TEXT\n"
           "      --sweep RANGE        with --computers: also ask every address of RANGE for its name by\n"
           "                           NetBIOS, multicast DNS and reverse DNS (A.B.C.D/N,\n"
           "                           A.B.C.D-A.B.C.E, or local: the subnets of the adapters;\n"
           "                           repeatable)\n"
           "      --timeout MS         how long the sweep waits for answers after its last question\n"
           "                           (default 2000)\n"
           "      --no-dns             with --sweep: no reverse DNS lookups (they ask the DNS server\n"
           "                           about every address)\n"
           "  -h, --help               this text\n"
           "      --version            the program's version\n"
           "Output: one line per entry found: its full path; with --format tsv\n"
           "  FOLDER<TAB>NAME<TAB>SIZE<TAB>ATTR<TAB>YYYY-MM-DD HH:MM:SS; with --format csv a header line\n"
           "  Name,Folder,Path,Size,Modified,Attributes and a line per entry (RFC 4180 quoting, modified\n"
           "  as YYYY-MM-DDTHH:MM:SS local time); with --format jsonl a JSON object per line:\n"
           "  {\"path\",\"name\",\"folder\",\"size\" (bytes),\"modified\" (YYYY-MM-DDTHH:MM:SS+HH:MM, local\n"
           "  time and its offset from UTC; null when unknown),\"attributes\" (the attribute bits as a\n"
           "  number)}. With --events tab-separated lines:\n"
           "  folder<TAB>FOLDER, found<TAB>FOLDER<TAB>NAME<TAB>SIZE<TAB>ATTR<TAB>YYYY-MM-DD HH:MM:SS,\n"
           "  complete<TAB>COUNT<TAB>ABORTED\n"
           "With --computers: "
           "computer<TAB>NAME<TAB>IP<TAB>DOMAIN<TAB>COMMENT<TAB>MAC<TAB>VENDOR<TAB>SOURCE,\n"
           "  domain<TAB>NAME, complete<TAB>ROWS; VENDOR is the card's maker (from oui.txt beside the\n"
           "  program, else the built-in IEEE table; empty when unknown), SOURCE the way the name came:\n"
           "  browse (the browse list), netbios, mdns or dns; with --format jsonl\n"
           "  {\"name\",\"ip\",\"workgroup\",\"comment\",\"mac\",\"vendor\",\"source\"} per computer and\n"
           "  {\"domain\"} per domain.\n"
           "Folders that could not be searched (access denied, vanished, links not followed, paths\n"
           "  too long, files whose text could not be read) are counted in one line on stderr.\n"
           "Exit status: 0 something found (a row printed), 1 nothing found, 2 an error: a bad option\n"
           "  or criterion, a location that does not exist, or a search that failed.\n";
}

const char* VersionText()
{
    // The version the programs' version blocks carry, named in one place.
    return "FindFileCmd " FF_VERSION_TEXT "\n";
}

} // namespace cmd
