// The converter's command line: a command word, its operands and its options.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

struct SCliArguments
{
    std::string command;
    std::vector<std::string> operands;
    std::string output;              // -o FILE
    std::string script;              // --script FILE, "-" for standard input
    std::vector<std::string> hide;   // --hide a,b,c
    bool silhouette = false;
    std::map<std::string, std::string> values;  // the options with a value of import, export, carry ("-j" -> "4")
    std::set<std::string> flags;                // and their switches ("--force")
};

// Parses argv[1..]; returns false with a reason when the line is malformed.
bool ParseCliArguments(int argc, char** argv, SCliArguments& out, std::string& problem);
