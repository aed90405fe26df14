#include "driver/usage.h"

#include <string>

namespace reshape {

namespace {

constexpr std::string_view kUsage =
    "Usage: reshape [SCRIPT [FILE...]]\n"
    "\n"
    "Migrates the project files of the current directory with the rename and conversion\n"
    "commands of SCRIPT (default: RESHAPE.SCR beside the reshape executable).\n"
    "Without FILE arguments every matching file of the current directory is processed:\n"
    "  *.PAS *.CPP *.HPP *.H  class and string renames (RENC, RENS)\n"
    "  *.PAS *.DPK            unit renames (RENU)\n"
    "  *.DFM                  form files (RENC, RENP, DELP, PSET; RENS runs the pass too)\n"
    "  *.BPR                  package renames (PKGR)\n"
    "With FILE arguments only the named files are processed, by the passes whose masks\n"
    "they match.\n"
    "\n"
    "Script lines (all other lines are ignored; blanks are part of the fields):\n"
    "  RENC>OldClass,NewClass            rename a class\n"
    "  RENP>[Class:]Prop,NewProp         rename a form property\n"
    "  DELP>[Class:]Prop                 delete a form property\n"
    "  PSET>Class:Prop=Value,Set[Elem]   turn Prop = Value into an element of set Set\n"
    "  RENU>OldUnit,NewUnit              rename a unit in unit and uses lines\n"
    "  PKGR>OldPackage,NewPackage        rename or replace a package in project files\n"
    "  RENS>OldText,NewText              replace text in source files\n"
    "\n"
    "Every change is appended to SCRIPTNAME.LOG in the current directory. Form files keep\n"
    "their previous bytes in NAME.dfb and their text form in NAME.dft.\n"
    "Exit code: 0 after a complete run, 1 after a failure (reported on standard output).\n"
    "\n"
    "  -h, --help     show this text\n"
    "      --version  show the version\n";

}  // namespace

std::string_view UsageText() { return kUsage; }

std::string VersionText() { return std::string("reshape ") + RESHAPE_VERSION + "\n"; }

}  // namespace reshape
