// Writes the man page and the bash completion of the main program, made from its
// option table; run by the build.
//
//   kliqora-docs man <file>
//   kliqora-docs bash-completion <file>

#include "bashcompletion.h"
#include "manpage.h"
#include "programversion.h"

#include <cstdio>
#include <cstring>
#include <fstream>

int main(int argc, char* argv[])
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s man|bash-completion <file>\n", argv[0]);
        return 2;
    }
    std::string text;
    if (std::strcmp(argv[1], "man") == 0) {
        text = manPage(programVersionText().toStdString());
    } else if (std::strcmp(argv[1], "bash-completion") == 0) {
        text = bashCompletion();
    } else {
        std::fprintf(stderr, "%s: unknown document %s\n", argv[0], argv[1]);
        return 2;
    }
    std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
        return 1;
    }
    return 0;
}
