// Pieces shared by talq's JSON documents (talq-status/1, talq-set/1): the switches, the
// decoded settings, and the text form that keeps each switch on one line.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/decoded_settings.h"
#include "status/printer_status.h"

namespace talq::cli {

using Json = nlohmann::ordered_json;

Json TextOrNull(const std::string& text);

// {"1": [nine integers], "2": [...], ...}: pins[0] and pins 1..8 of each switch.
Json SwitchesJson(const status::PrinterStatus& status);

// {"index": 2, "name": "PC850 (Multilingual)", "inList": true}; above 36 (a pattern the
// printer may hold, though no list entry has it) the name is null and inList false.
Json CodePageJson(int index);

// {"baud": "19200", "dataBits": "8", "parity": "None", "flowControl": "DTR/DSR"}; null words
// for indexes no list has.
Json SerialJson(const SerialWords& words);

// Indented, with each array of numbers on one line, and a final newline. Printer texts are
// bytes, not necessarily UTF-8: what is not is replaced.
std::string JsonText(const Json& document);

// One document as it is, several as one array in the given order; each ends in a newline.
std::string JsonDocuments(const std::vector<std::string>& documents, bool asArray);

}  // namespace talq::cli
