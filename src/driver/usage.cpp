#include "driver/usage.h"

#include <string>

namespace reshape {

std::string_view UsageText() {
  return "Usage: reshape [SCRIPT [FILE...]]\n"
         "       reshape OPTION... [SCRIPT [FILE...]]\n"
         "\n"
         "Migrates a project tree from one version of a desktop UI component framework\n"
         "to the next with the rename and conversion commands of SCRIPT (default:\n"
         "RESHAPE.SCR beside the reshape executable). Files are rewritten in place.\n"
         "Without FILE arguments every matching file of the current directory is used:\n"
         "  *.PAS *.CPP *.HPP *.H  class and string renames (RENC, RENS)\n"
         "  *.PAS *.DPK *.DPR *.INC *.CPP *.HPP *.H  unit renames (RENU)\n"
         "  *.DFM                  forms (RENC, RENP, DELP, PSET; RENS runs the pass too)\n"
         "  *.BPR *.BPK *.DPROJ *.CBPROJ *.DPK       package renames (PKGR)\n"
         "With FILE arguments only the named files are processed, by the passes whose\n"
         "masks they match.\n"
         "\n"
         "Script lines (all other lines are ignored; blanks are part of the fields):\n"
         "  RENC>OldClass,NewClass           rename a class\n"
         "  RENP>[Class:]Prop,NewProp        rename a form property\n"
         "  DELP>[Class:]Prop                delete a form property\n"
         "  PSET>Class:Prop=Value,Set[Elem]  turn Prop = Value into an element of Set\n"
         "  RENU>OldUnit,NewUnit             rename a unit in clauses and includes\n"
         "  PKGR>OldPackage,NewPackage       rename or replace a package in projects\n"
         "  RENS>OldText,NewText             replace text in source files\n"
         "In a source file RENC and RENS change at most their first match in a line.\n"
         "\n"
         "Options (anywhere on the command line; \"--\" ends them):\n"
         "  -r, --recursive      also every directory below (not \".*\" or \"__*\" ones)\n"
         "  -n, --dry-run        convert but write nothing; print each file's log lines\n"
         "      --diff           print a unified diff of each changed file\n"
         "      --atomic         change nothing unless every file converts\n"
         "  -k, --keep-going     report a file that fails, leave it as it was, go on\n"
         "      --summary        print how many changes each script command made\n"
         "      --json-log FILE  also write each change to FILE, one JSON object a line\n"
         "      --check          only check the script and print its problems\n"
         "  -h, --help           show this text\n"
         "      --version        show the version\n"
         "Not together: --atomic and -k; --check and other options; -r and FILEs.\n"
         "\n"
         "Every change is appended to SCRIPTNAME.LOG in the current directory. A form\n"
         "file's bytes before the run go to NAME.dfb (overwritten by every run), a\n"
         "binary form's text form to NAME.dft. Line breaks are kept: LF stays LF,\n"
         "CR LF and a lone CR become CR LF. A text form keeps every byte that no rule\n"
         "changes; a binary form that no rule changes comes back byte for byte unless\n"
         "it holds values that its text form cannot carry exactly.\n"
         "Exit code: 0 after a complete run, 1 after a failure (reported on standard\n"
         "output), 2 after a usage error (this text on standard error).\n";
}

std::string VersionText() { return std::string("reshape ") + RESHAPE_VERSION + "\n"; }

}  // namespace reshape
