#include "cli/app.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <exception>

#include "cli/commands.h"
#include "cli/trace_option.h"

namespace talq::cli {
namespace {

constexpr const char* kModelHelp =
    "printer model: KTV-520plus, KTV-540/542, KTV-520plusF, or 0, 1, 2";

void AddModel(CLI::App& command, std::string& model, bool required) {
    auto* option = command.add_option("--model", model, kModelHelp);
    if (required) option->required();
}

void AddLineOptions(CLI::App& command, ConnectionOptions& connection) {
    command.add_option("--baud", connection.line.baud,
                       "2400 4800 9600 19200 38400 57600 115200 (KTV-540/542 from 9600); "
                       "default 19200, KTV-540/542 115200");
    command.add_option("--data-bits", connection.line.dataBits, "8 (default) or 7");
    command.add_option("--parity", connection.line.parity, "None (default), Odd or Even");
    command.add_option("--stop-bits", connection.line.stopBits, "1 (default), 1.5 or 2");
    command.add_option("--flow", connection.line.flow, "Hardware (default) or Xon/Xoff");
}

void AddPorts(CLI::App& command, ConnectionOptions& connection, const char* help, bool required) {
    auto* ports = command.add_option("--port", connection.ports, help)->type_name("PORT");
    if (required) ports->required();
    ports->allow_extra_args(false);
    command.add_option("--jobs", connection.jobs, "run at most N ports at once (default: all)")
        ->check(CLI::PositiveNumber);
}

void AddTrace(CLI::App& command, std::string& trace) {
    command.add_option("--trace", trace,
                       "write every write, read and pause on the ports to FILE, with times, "
                       "in hex and as text")
        ->type_name("FILE");
}

void AddConnection(CLI::App& command, ConnectionOptions& connection, std::string& trace) {
    AddModel(command, connection.model, true);
    AddTrace(command, trace);
    AddPorts(command, connection,
             "COM1..COM10, LPT1..LPT3, a USB entry of `talq ports`, a USB printer or serial "
             "adapter by identity (usb:serial=A1B2C3, usb:path=1-1.3), or usb for every USB "
             "entry; give --port again for more ports, which run at once",
             true);
    AddLineOptions(command, connection);
}

struct Arguments {
    bool quiet = false;
    bool json = false;
    ConnectionOptions connection;
    GetOptions get;
    SetOptions set;
    FindOptions find;
    ConnectionOptions replaceConnection;
    ReplaceOptions replace;
    std::vector<std::string> files;
    std::string model;
    std::string output;
    std::string port, device;
    bool list = false;
    std::string trace;
    DoctorOptions doctor;
};

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        bool errIsTerminal, bool errTakesEscapes) {
    Arguments a;
    CLI::App app{"talq: reads, sets and keeps the memory switches of KTV receipt printers", "talq"};
    app.require_subcommand(1, 1);
    app.fallthrough();
    app.footer(kExitCodeHelp);
    app.set_version_flag("--version", "talq " TALQ_VERSION);
    app.add_flag("-q,--quiet", a.quiet,
                 "no messages or progress bar on stderr; errors still shown");

    auto* ports = app.add_subcommand("ports", "list the ports the connection dialog offers");
    ports->add_flag("--json", a.json, "print JSON");

    auto* map = app.add_subcommand(
        "map", "map a port to a device in your ports file, or list the serial adapters");
    map->add_option("port", a.port, "COM1..COM10 or LPT1..LPT3");
    map->add_option("device", a.device,
                    "the device, e.g. /dev/serial/by-id/usb-..., or usb:serial=... as "
                    "talq map --list shows it");
    map->add_flag("--list", a.list, "list the serial adapters present (the default with no port)");
    auto* unmap = app.add_subcommand("unmap", "drop a port's mapping from your ports file");
    unmap->add_option("port", a.port, "COM1..COM10 or LPT1..LPT3")->required();

    auto* find = app.add_subcommand(
        "find", "look for printers on the ports at every line setting, and say what answers");
    find->add_option("--model", a.find.connection.model,
                     std::string(kModelHelp) + " (default: any)");
    AddPorts(*find, a.find.connection,
             "COM1..COM10, LPT1..LPT3, a USB entry of `talq ports`, or usb for every one of "
             "those (default: every port); give --port again for more, searched at once",
             false);
    AddLineOptions(*find, a.find.connection);
    for (const char* name : {"--baud", "--data-bits", "--parity", "--stop-bits", "--flow"}) {
        find->get_option(name)->description("only this " + std::string(name + 2) +
                                            " (default: each the model can have)");
    }
    find->add_flag("--thorough", a.find.thorough,
                   "wait at every COM setting as long as Check Communication does, for a "
                   "printer slow to answer (1.67 s a setting instead of 0.37 s)");
    find->add_flag("--json", a.find.json, "print a talq-find/1 JSON document per port");
    find->add_flag("--save", a.find.save,
                   "keep the line settings found in your ports file, for check, get and set");
    AddTrace(*find, a.trace);

    auto* check = app.add_subcommand("check", "Check Communication with the printer");
    AddConnection(*check, a.connection, a.trace);

    auto* get = app.add_subcommand("get", "check, then Get Status: the printer's switches");
    AddConnection(*get, a.connection, a.trace);
    get->add_option("-o,--output", a.get.output,
                    "also write FILE.sts (216 bytes) or FILE.json; or FOLDER/: one new .sts "
                    "per printer, named by printer and day, and an index, never overwriting");
    get->add_flag("--json", a.get.json, "print JSON");

    auto* set = app.add_subcommand(
        "set", "check, Get Status, apply FILE and the edits, and Set Status what differs");
    AddConnection(*set, a.connection, a.trace);
    set->add_option("file", a.set.file, "status file (.sts, exactly 216 bytes) or .json");
    set->add_option("--pin", a.set.edits.pins, "SWITCH.PIN=0|1, e.g. 10.5=1; may be repeated")
        ->allow_extra_args(false);
    set->add_option("--setting", a.set.edits.settings,
                    "CAPTION=WORD as talq show prints them, e.g. \"Paper width=2 inch\", "
                    "\"default code page=PC850\"; may be repeated")
        ->type_name("CAPTION=WORD")
        ->allow_extra_args(false);
    set->add_option("--code-page", a.set.edits.codePage,
                    "default code page by name (PC850) or number");
    set->add_option("--printer-baud", a.set.edits.printerBaud,
                    "the printer's own baud rate: 9600 19200 38400 57600 115200 (KTV-540/542)");
    set->add_option("--printer-data-bits", a.set.edits.printerDataBits,
                    "the printer's own data bits: 7 or 8 (KTV-540/542)");
    set->add_option("--printer-parity", a.set.edits.printerParity,
                    "the printer's own parity: None, Odd or Even (KTV-540/542)");
    set->add_option("--printer-flow", a.set.edits.printerFlow,
                    "the printer's own flow control: DTR/DSR or Xon/Xoff (KTV-540/542)");
    set->add_flag("--dry-run", a.set.dryRun, "print the difference and stop");
    set->add_flag("--verify", a.set.verify, "read back after Set Status; exit 6 on a mismatch");
    set->add_flag("--follow", a.set.follow,
                  "when the printer's own serial settings change, reach it at the new ones and "
                  "move the ports file, the print queues on the port and (Windows) the port's "
                  "defaults there too; all rolled back when it does not answer there");
    set->add_flag("--json", a.set.json, "print a talq-set/1 JSON document per port");

    auto* replace = app.add_subcommand(
        "replace",
        "set up a swapped printer from the till's file: find it (factory settings first), "
        "apply FILE, follow its serial settings, read back, print the test page");
    AddModel(*replace, a.replaceConnection.model, false);
    replace->get_option("--model")->description(std::string(kModelHelp) +
                                                " (default: the file's, or whichever answers)");
    AddPorts(*replace, a.replaceConnection,
             "COM1..COM10, LPT1..LPT3, a USB entry of `talq ports`, a USB printer or serial "
             "adapter by identity, or usb for every USB entry; give --port again for more",
             true);
    replace->add_option("file", a.replace.file, "the till's status file (.sts or .json)")
        ->required();
    replace->add_flag("--dry-run", a.replace.dryRun,
                      "find the printer, print the difference and stop");
    replace->add_flag("--json", a.replace.json, "print a talq-replace/1 JSON document per port");

    auto* show = app.add_subcommand("show", "list a status file (.sts or .json) with captions");
    show->add_option("file", a.output, "status file")->required();
    AddModel(*show, a.model, false);
    show->add_flag("--json", a.json, "print JSON");

    auto* diff =
        app.add_subcommand("diff", "compare two status files pin by pin; exit 1 if they differ");
    diff->add_option("files", a.files, "two status files")->required()->expected(2);
    AddModel(*diff, a.model, false);

    auto* factory = app.add_subcommand("factory", "write the Initialize Status values as a file");
    AddModel(*factory, a.model, true);
    factory->add_option("-o,--output", a.output, "FILE.sts or FILE.json")->required();

    auto* selfTest = app.add_subcommand("self-test", "check, then print the test page");
    AddConnection(*selfTest, a.connection, a.trace);

    auto* codePages = app.add_subcommand("code-pages", "list the code pages --code-page takes");

    auto* doctor = app.add_subcommand(
        "doctor", "look along the way to the printer and say what is wrong and how to mend it");
    doctor
        ->add_option("--port", a.doctor.ports,
                     "the port to look at (again for more); default: every port present and "
                     "the USB printers")
        ->type_name("PORT")
        ->allow_extra_args(false);
    doctor->add_option("--bundle", a.doctor.bundle,
                       "also write the report and the trace of the printer check into FILE, "
                       "for a support ticket")
        ->type_name("FILE");
    doctor->add_flag("--json", a.doctor.json, "print a talq-doctor/1 JSON document");
    AddTrace(*doctor, a.trace);

    // The exit-code table once, in talq --help.
    for (CLI::App* command : app.get_subcommands({})) command->footer("Exit codes: talq --help");

    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return kExitDone;
    } catch (const CLI::CallForVersion& e) {
        out << e.what() << "\n";
        return kExitDone;
    } catch (const CLI::ParseError& e) {
        err << "talq: " << e.what() << "\nRun talq --help for the commands and options.\n";
        return kExitUsage;
    }

    const Console console{out, err, a.quiet, errIsTerminal && !a.quiet, nullptr, errTakesEscapes};
    std::unique_ptr<CommandTrace> trace;
    if (!a.trace.empty()) {
        Failure failure;
        trace = CommandTrace::Start(a.trace, args, failure);
        if (!trace) return Report(console, failure).exitCode;
    }
    const auto command = [&]() -> int {
        if (ports->parsed()) return RunPorts(console, a.json);
        if (map->parsed()) {
            if (a.port.empty() || a.list) {
                if (a.port.empty()) return RunListAdapters(console);
                console.Error("map: --list takes no port");
                return kExitUsage;
            }
            if (a.device.empty()) {
                console.Error("map: give the device for " + a.port +
                              " (talq map --list shows the serial adapters)");
                return kExitUsage;
            }
            return RunMap(console, a.port, a.device);
        }
        if (unmap->parsed()) return RunUnmap(console, a.port);
        if (find->parsed()) return RunFind(console, a.find);
        if (check->parsed()) return RunCheck(console, a.connection);
        if (get->parsed()) return RunGet(console, a.connection, a.get);
        if (set->parsed()) return RunSet(console, a.connection, a.set);
        if (replace->parsed()) return RunReplace(console, a.replaceConnection, a.replace);
        if (show->parsed()) return RunShow(console, a.output, a.model, a.json);
        if (diff->parsed()) return RunDiff(console, a.files[0], a.files[1], a.model);
        if (factory->parsed()) return RunFactory(console, a.model, a.output);
        if (selfTest->parsed()) return RunSelfTest(console, a.connection);
        if (codePages->parsed()) return RunCodePages(console);
        if (doctor->parsed()) {
            return RunDoctor(console, a.doctor, trace ? &trace->Log() : nullptr, args);
        }
        return kExitUsage;
    };
    int code = kExitDone;
    // What a command did not foresee ends the command with a message, not the program with an
    // abort; a port still held is closed and its queues given back on the way out.
    try {
        code = command();
    } catch (const std::exception& e) {
        console.Error(std::string("stopped: ") + e.what());
        code = kExitStopped;
    } catch (...) {
        console.Error("stopped on an unknown fault");
        code = kExitStopped;
    }
    if (const auto lost = trace ? trace->Loss() : std::nullopt) {
        code = std::max(code, Report(console, *lost).exitCode);
    }
    // Output that never arrived must not pass for a run whose results were read: a script
    // piping talq into head, or a full disk, learns it from the exit code.
    out.flush();
    if (out.fail()) {
        console.Error("standard output: the output was lost (closed, or no room)");
        code = std::max(code, static_cast<int>(kExitFileFailed));
    }
    return code;
}

}  // namespace talq::cli
