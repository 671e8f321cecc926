// The interactive screens of zettle: the main menu, the choice of how to
// give fabric addresses, the fabric chooser, the file-name prompt, manual
// address entry and the exit banner, with the reader of menu choices they
// share. Every screen clears the console first. End of input reads as a
// quit: no screen waits or loops on a closed input.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "FabricTable.h"

class Console;

// File-name prompt kinds besides the tasks' data files (the task codes).
inline constexpr int EventLogFileKind = 408;
inline constexpr int AddressFileKind = 409;

// Choices of chooseAddressMethod.
inline constexpr int ManualAddresses = 201;
inline constexpr int AddressFile = 202;

class Screens {
public:
    Screens(Console& console, const std::string& version);

    // Reads one menu choice: a number from low to high, the code of one of
    // `letters`, QuitConfirmed ("q" or "Q" among the letters, confirmed;
    // also at end of input) or ShowAgain (an unknown choice, shown).
    int readChoice(std::string_view letters, int low, int high);
    // CollectTask, InstallTask, ReportTask or QuitConfirmed.
    int mainMenu();
    // ManualAddresses, AddressFile, ShowAgain (back to the menu) or
    // QuitConfirmed at end of input.
    int chooseAddressMethod();
    // A fabric number from 1, 'a' (all) or 'r' (return; also at end of
    // input).
    int chooseFabric(const std::vector<FabricInfo>& fabrics);
    // Asks for a file name of `kind`, `name` holding the default: the length
    // of the name, which `name` then holds. For the event log and the
    // address file an answer of 1 or 2 characters gives its length and
    // leaves `name` unchanged; a task's data file takes it as its name. End
    // of input gives 0.
    int promptFileName(int kind, std::string& name);
    // Reads addresses, one a line, until an empty one, into `addressList`:
    // the number of addresses.
    int enterAddresses(std::string& addressList);
    void showExitBanner();

private:
    int unknownChoice(const std::string& choice);
    void showFileNameScreen(int kind);

    Console& console_;
    const std::string& version_;
};
