// Writes the quiz's web page from the window definition: the HTML, whose
// elements stand for the window's controls, and the style sheet that puts each
// one where the definition puts it, in its colours. The page is complete and
// readable before any script runs: every caption and the introduction are
// already in it; the script only brings the controls to life.
#pragma once

#include <string>
#include <string_view>

namespace web {

class PageWriter {
public:
    // fontFile: the file name, beside the page, of the window's font cut to
    // the characters that pageText() lists.
    explicit PageWriter(std::string fontFile) : fontFile(std::move(fontFile)) {}

    // The site's page, index.html, which loads the style sheet, the font,
    // the icon and the program from files beside it; or the template of the
    // page in one file, with @POLICY@, @ICON@, @STYLE@ and @SCRIPT@ where
    // its policy, its icon, the style sheet and the script go.
    enum class Form { Site, SingleFile };
    std::string html(Form form = Form::Site) const;
    std::string css() const;
    // The web app manifest: the template's @NAME@, @SHORT_NAME@,
    // @DESCRIPTION@, @BACKGROUND@ and @THEME@ replaced.
    std::string manifest(std::string_view manifestTemplate) const;
    // Every character that the page can show in the window's font, once
    // each, in UTF-8: the captions, the introduction and every text that a
    // game writes into the output box.
    std::string pageText() const;

private:
    std::string fontFile;
};

} // namespace web
