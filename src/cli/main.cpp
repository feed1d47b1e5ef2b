// navtab-cli: the scriptable face of Navtab's core.
#include <cstdio>
#include <string>

#include "cli/commands.h"

namespace navtab::cli {

int fail(int status, const std::string& text) {
    std::fprintf(stderr, "navtab-cli: %s\n", text.c_str());
    return status;
}

const std::vector<Command>& commands() {
    static const std::vector<Command> all = {
        {"tree", "FILE...",
         "Prints the tree of each file: the file, its tables and the program chains found so far,\n"
         "one node per line, indented by two blanks per level.",
         runTree},
        {"show", "FILE [NODE] [--reserved] [--json]",
         "Prints the field list of NODE, one row per line with the columns Address, Description,\n"
         "Value (dec) and Value (hex) separated by tabs. NODE is a table's short name (VMGM_MAT,\n"
         "VTSI_MAT, VTS_PGCITI, ...) or a program chain's caption (\"First Play PGC\",\n"
         "\"VTS_PGC_1\"); without NODE the file's overview is shown.\n"
         "  --reserved  also show the rows of reserved fields\n"
         "  --json      print an array of rows: address (number or null), description, dec, hex,\n"
         "              kind, length",
         runShow},
        {"save", "FILE OUT [--bup]",
         "Opens FILE and writes it to OUT as Save does: the management table and every table in\n"
         "order, padded to whole sectors. OUT is replaced only after a complete write.\n"
         "  --bup  also write the backup copy (OUT with the extension .BUP)",
         runSave},
        {"decode", "HEX...",
         "Decodes navigation commands as the program chain rows show them, one line per command.\n"
         "Each HEX is one 8-byte command written as 16 hex digits; blanks may stand between\n"
         "bytes, so \"71 00 00 0F 00 02 00 00\" (quoted as one argument) is a command too.",
         runDecode},
        {"scan", "VOB... [--json]",
         "Walks the MPEG-2 program stream of the VOB files, read one after the other as one\n"
         "stream, and prints what it holds: the number of packs and system headers, the packets,\n"
         "bytes and first time stamp of every stream, the video format, the sector of every VOBU\n"
         "(NAV pack) and every cell (change of VOB id or cell id) with its sectors. The scan log\n"
         "goes to standard error.\n"
         "  --json  print the same as one JSON object",
         runScan},
        {"vobus", "FILE.IFO [--json]",
         "Reads the title VOB files of the title set FILE.IFO (VTS_nn_1.VOB, VTS_nn_2.VOB, ...)\n"
         "sector by sector and prints one line per VOBU as the analysis finds it: its sector, the\n"
         "lbn its NAV pack states, its last sector relative to the NAV pack, VOB id, cell id, the\n"
         "frames it shows, the relative ends of its first three reference pictures and, for each\n"
         "audio stream the NAV pack gives an offset for, the sector offset of the audio that\n"
         "reaches the VOBU's start time (a negative one lies in an earlier VOBU, ? = not found).\n"
         "  --json  print an array of objects, with every audio and sub-picture sync word",
         runVobus},
        {"autocalc", "FILE.IFO [--tables LIST] [--dry-run] [--force]",
         "Scans the title VOB files of FILE.IFO and rewrites the sector entries of its tables\n"
         "to match them, in place: no table changes its size, and entries the VOB files have\n"
         "nothing for stay as they are. FILE.IFO is replaced only after a complete write; its\n"
         ".BUP copy is left as it is ('navtab-cli save FILE.IFO FILE.IFO --bup' renews it).\n"
         "When the VOB files do not fit the title set (other numbers of VOBUs or cells than\n"
         "the tables have, a cell the PGCs play that the files lack, lost sync), it says what\n"
         "disagrees, writes nothing and exits with status 1.\n"
         "  --tables LIST  the tables to rewrite, separated by commas: VTS_TMAPTI,\n"
         "                 VTS_VOBU_ADMAP, VTS_C_ADT, VTS_PGCITI (default: all four)\n"
         "  --dry-run      report what would change and write nothing\n"
         "  --force        write the tables even when the VOB files do not fit",
         runAutocalc},
        {"template", "FILE.IFO OUT.txt [--types IPB]",
         "Writes the frame-type template of the title set's video for an MPEG encoder: one line\n"
         "\"N,T\" per picture, N the picture number in stream order from 0 and T its type I, P or\n"
         "B. OUT.txt is replaced only by a complete template.\n"
         "  --types IPB  the picture types to list (default: IPB)",
         runTemplate},
        {"remove-puops", "FILE [--dry-run]",
         "Clears the prohibited-user-operations mask of every program chain of FILE (the\n"
         "first-play and menu PGCs of VIDEO_TS.IFO, the menu and title PGCs of a title set) and\n"
         "prints what it cleared. A PGC whose start lies outside its table is skipped and named.\n"
         "When anything changed, FILE and its .BUP copy are replaced after a complete write.\n"
         "  --dry-run  report what would change and write nothing",
         runRemovePuops},
        {"play",
         "FOLDER [--title N [--chapter C]] [--press K]... [--menu root|title] [--steps N] "
         "[--trace] [--json]",
         "Runs Navtab's DVD navigator on the DVD-Video folder without decoding and prints each\n"
         "event on one line: domain, title, chapter, cell (with its sectors), vobu, still,\n"
         "highlight, stream, stop, warning and error. Playback starts at the first-play PGC.\n"
         "Stills end at once; a menu that waits for input is answered with the next --press K\n"
         "(select button K and activate it) or, when none is left, by activating the\n"
         "highlighted button.\n"
         "  --title N    start in title N (at chapter C with --chapter)\n"
         "  --menu M     call the root or the title menu first\n"
         "  --steps N    stop after N cell events (default 1000)\n"
         "  --trace      also print every command run, decoded, with the registers it changed\n"
         "  --json       print one JSON object per line",
         runPlay},
        {"delete-playback", "FILE ROW [--dry-run]",
         "Empties the playback of a menu program chain: no programs, no cells, playback time 0;\n"
         "its commands stay. ROW is the number (from 1) of the menu's line in the overview as\n"
         "'navtab-cli show FILE' prints it. Prints the line as it reads afterwards, then writes\n"
         "FILE and its .BUP copy.\n"
         "  --dry-run  report what would change and write nothing",
         runDeletePlayback},
        {"get-vts-sectors", "FILE [--all] [--dry-run] [--force]",
         "Recomputes from the sizes of the files in FILE's folder the sector addresses that\n"
         "VIDEO_TS.IFO and the title sets keep about them (last sectors, VOB starts, title set\n"
         "starts, number of title sets) and prints each table's corrections. A changed FILE is\n"
         "written together with its .BUP copy.\n"
         "  --all      correct and save every IFO file of the folder, VIDEO_TS.IFO first; when\n"
         "             the folder does not fit its IFO files (a title set the video manager does\n"
         "             not list, missing title video, a VOB after a gap, a damaged IFO), say so\n"
         "             and write nothing\n"
         "  --force    with --all, correct such a folder anyway (damaged IFO files stay as they "
         "are)\n"
         "  --dry-run  report what would change and write nothing",
         runGetVtsSectors},
        {"vob-extras", "FILE.IFO DEST.VOB [options]",
         "Copies the title VOB files of the title set FILE.IFO to DEST.VOB's folder (named\n"
         "VTS_nn_1.VOB, ... after DEST.VOB's first six characters), leaving out what the options\n"
         "strip; corrects every NAV pack of the copy, rebuilds the IFO tables and saves FILE.IFO\n"
         "(and VIDEO_TS.IFO after stream stripping) with their .BUP copies into that folder. With\n"
         "nothing stripped the title set's own tables and NAV packs are corrected in place.\n"
         "The source files are never written to otherwise.\n"
         "  --strip-streams IDS        leave out the streams with these MPEG ids (0x81,0x21)\n"
         "  --strip-vobids LIST        leave out these VOB ids (1,3)\n"
         "  --remove-angles KEEP       keep only angle KEEP of an angle block\n"
         "  --remux FILE.m2v           put the video of FILE.m2v (MPEG-2, a GOP per VOBU as the\n"
         "                             frame-type template has them) into the video packs\n"
         "  --no-correct-ifo           do not correct the IFO after stripping\n"
         "  --no-nav-packs             leave the NAV packs of the copy as they are\n"
         "  --no-tables                do not rebuild the address and time-map tables\n"
         "  --keep-puops               keep the prohibited user operations of the NAV packs\n"
         "  --rebuild-pts              rewrite the presentation and elapsed times\n"
         "  --remove-angle-pointers    clear the interleaving and angle fields\n"
         "  --adjust-angle-pointers    relocate the interleaving and angle fields\n"
         "  --no-adjust-vobu           leave the VOBU search pointers as they are\n"
         "  --no-adjust-sync           leave the audio and sub-picture sync offsets\n"
         "  --list                     print the streams and VOB ids (DEST.VOB not needed)\n"
         "  --create-new               instead of FILE.IFO, save a new VIDEO_TS.IFO and\n"
         "                             VTS_01_0.IFO that play the copy as one title; the copy\n"
         "                             is named VTS_01_n.VOB (DEST may end in _0.IFO when\n"
         "                             nothing is stripped: no VOB is written then)",
         runVobExtras},
        {"menu-extras", "FILE.IFO DEST.VOB [options]",
         "Copies the menu VOB beside FILE.IFO (VTS_nn_0.VOB or VIDEO_TS.VOB) to DEST.VOB's folder\n"
         "(named after DEST.VOB's first eight characters), leaving out the VOB ids and language\n"
         "units the options strip; corrects its NAV packs, rebuilds the menu tables and saves\n"
         "FILE.IFO with its .BUP copy into that folder.\n"
         "  --strip-vobids LIST  leave out these VOB ids\n"
         "  --strip-lus LIST     leave out these language units (1,2) and the VOB ids only they "
         "use\n"
         "  The options --no-correct-ifo, --no-nav-packs, --no-tables, --keep-puops and --list\n"
         "  work as with vob-extras.",
         runMenuExtras},
        {"create-ifos", "FIRST.VOB DEST/VIDEO_TS.IFO",
         "Reads the title VOB files numbered like FIRST.VOB (VTS_03_1.VOB, VTS_03_2.VOB, ...;\n"
         "a file not so named alone) and writes a new VIDEO_TS.IFO and VTS_01_0.IFO with their\n"
         ".BUP copies into DEST's folder: one title that plays every cell in stream order, one\n"
         "chapter per cell, the video, audio and sub-picture streams found in the VOB files.\n"
         "The VOB files are not written; the title set names them VTS_01_1.VOB, ...",
         runCreateIfos},
        {"disc-image", "FILE.IFO IMAGE [--label TEXT] [--burn DEVICE] [--builder PATH]",
         "Builds a DVD-Video UDF/ISO image of the folder that holds FILE.IFO's VIDEO_TS folder\n"
         "with genisoimage -dvd-video -udf: the DVD-Video files of VIDEO_TS (any case, named in\n"
         "capitals in the image) in disc order, and an empty AUDIO_TS. IMAGE is written under a\n"
         "temporary name beside it and replaces an existing file only when the build succeeded;\n"
         "on a failure the image program's last lines are printed.\n"
         "  --label TEXT    the volume label: up to 32 of A-Z, 0-9 and '_' (default: the name\n"
         "                  of the folder above VIDEO_TS, upper-cased)\n"
         "  --burn DEVICE   then write the image to the disc in DEVICE (/dev/sr0) with\n"
         "                  growisofs -dvd-compat -Z DEVICE=IMAGE\n"
         "  --builder PATH  the image program (default: genisoimage or mkisofs on PATH)\n"
         "Arguments after '--' are taken as names, also when they begin with '-'.",
         runDiscImage},
    };
    return all;
}

namespace {

void printUsage(std::FILE* out) {
    std::fprintf(out, "usage: navtab-cli COMMAND [ARGS]\n\ncommands:\n");
    for (const auto& c : commands())
        std::fprintf(out, "  %-15s %.*s\n", std::string(c.name).c_str(),
                     static_cast<int>(c.synopsis.size()), c.synopsis.data());
    std::fprintf(out, "\n'navtab-cli COMMAND --help' describes a command.\n");
}

}  // namespace
}  // namespace navtab::cli

int main(int argc, char** argv) {
    using namespace navtab::cli;
    if (argc < 2) {
        printUsage(stderr);
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(stdout);
        return kExitOk;
    }
    Args args(argv + 2, argv + argc);
    for (const auto& c : commands()) {
        if (c.name != name) continue;
        for (const auto& a : args) {
            if (a == "--help" || a == "-h") {
                std::printf("usage: navtab-cli %s %s\n\n%s\n", argv[1],
                            std::string(c.synopsis).c_str(), std::string(c.help).c_str());
                return kExitOk;
            }
        }
        return c.run(args);
    }
    printUsage(stderr);
    return fail(kExitUsage, "unknown command '" + name + "'");
}
