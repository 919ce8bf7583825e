// zoomatch-page OUTPUT-FOLDER MANIFEST-TEMPLATE FONT-FILE
// Runs at build time on the build machine: writes index.html, zoomatch.css,
// manifest.webmanifest, page-text.txt (the characters the font must hold) and
// single-page.html (the template of the page in one file) into OUTPUT-FOLDER.
// Exits with 1 and a message when a file cannot be read or written, and with
// 2 on a wrong command line.
#include "PageWriter.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "zoomatch-page: cannot write " << path << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::cerr << "usage: zoomatch-page OUTPUT-FOLDER MANIFEST-TEMPLATE FONT-FILE\n";
        return 2;
    }
    const std::string folder = argv[1];
    std::ifstream in(argv[2], std::ios::binary);
    const std::string manifestTemplate{std::istreambuf_iterator<char>(in),
                                       std::istreambuf_iterator<char>()};
    if (!in && !in.eof()) {
        std::cerr << "zoomatch-page: cannot read " << argv[2] << '\n';
        return 1;
    }
    if (manifestTemplate.empty()) {
        std::cerr << "zoomatch-page: " << argv[2] << " is empty or missing\n";
        return 1;
    }
    const web::PageWriter page(argv[3]);
    const bool written =
        writeFile(folder + "/index.html", page.html()) &&
        writeFile(folder + "/zoomatch.css", page.css()) &&
        writeFile(folder + "/manifest.webmanifest", page.manifest(manifestTemplate)) &&
        writeFile(folder + "/page-text.txt", page.pageText()) &&
        writeFile(folder + "/single-page.html", page.html(web::PageWriter::Form::SingleFile));
    return written ? 0 : 1;
}
