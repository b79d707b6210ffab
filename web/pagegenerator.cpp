// Fills the site's templates in TEMPLATES_DIR with what comes from the form's design and the
// catalogue: the page (index.html.in) with the window's controls in tab order, so that the browser
// paints the whole window before any script runs; the style sheet (tavrelon.css.in) with the
// window's size, face and colours, each control's place, size and colours, and the sizes of the
// touch screens' layouts; the web app manifest (manifest.webmanifest.in); and the headers a web
// server should send (htaccess.in, nginx-tavrelon.conf.in):
//   tavrelon_pagegen SITE_DIR HOSTING_DIR MODULE.js MODULE.wasm FONT TEMPLATES_DIR
// Run at build time under Node. HOSTING_DIR receives the nginx snippet; the site's own folder
// everything else. The page's look and fixed texts are in the templates; nothing here but the
// form's numbers, colours and texts.
#include "catalogue.h"
#include "formdesign.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using FormDesign::Control;
using FormDesign::Kind;

namespace {

// The policy a web server should send with the site: nothing but the site's own files,
// WebAssembly included. Any https: page (a course on a learning platform) and the site itself
// may show it in a frame: the page has no action a framing page could trick a learner into
// (nothing is sent, stored or bought), and a plain http: page may not.
constexpr std::string_view contentSecurityPolicy =
    "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; "
    "img-src 'self'; font-src 'self'; connect-src 'self'; manifest-src 'self'; "
    "worker-src 'self'; object-src 'none'; base-uri 'none'; frame-ancestors 'self' https:";

// Each file type of the site and the type a server should name.
constexpr std::array<std::pair<std::string_view, std::string_view>, 9> mediaTypes {{
    {"html", "text/html; charset=utf-8"},
    {"css", "text/css; charset=utf-8"},
    {"js", "text/javascript; charset=utf-8"},
    {"wasm", "application/wasm"},
    {"webmanifest", "application/manifest+json"},
    {"svg", "image/svg+xml"},
    {"png", "image/png"},
    {"woff2", "font/woff2"},
    {"txt", "text/plain; charset=utf-8"},
}};

// Touch screens. A tablet enlarges the window to fill the screen, less a margin, when it can do
// so by at least enough to space the school options `tabletTarget` CSS px apart; anything
// smaller gets the phone's column.
constexpr int tabletTarget = 24;
constexpr int screenMargin = 16;

// The rows the names list shows at once.
constexpr int listRows = 4;

std::string escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Text for inside a JSON string.
std::string jsonText(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out;
}

std::string trimmed(std::string_view text)
{
    const auto end = text.find_last_not_of(' ');
    return std::string(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
}

std::string elementId(const Control &control)
{
    std::string id = control.name;
    if (control.index >= 0) {
        id += "_" + std::to_string(control.index);
    }
    return id;
}

std::string px(int twips)
{
    return std::to_string(FormDesign::twipsToPixels(twips)) + "px";
}

std::string rgb(std::uint32_t bgr)
{
    const auto colour = FormDesign::fromBgr(bgr);
    return "rgb(" + std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
        std::to_string(colour.blue) + ")";
}

std::string hex(std::uint32_t bgr)
{
    const auto colour = FormDesign::fromBgr(bgr);
    std::array<char, 8> text {};
    std::snprintf(text.data(), text.size(), "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text.data();
}

const Control &heading()
{
    return *std::find_if(FormDesign::controls.begin(), FormDesign::controls.end(),
                         [](const Control &c) { return c.kind == Kind::Label && c.index == 0; });
}

// The types worth compressing, separated by blanks: all but the PNG icons and the WOFF2 font,
// compressed already.
std::string compressedTypes(std::string_view except = {})
{
    std::string list;
    for (const auto &[extension, type] : mediaTypes) {
        const auto name = type.substr(0, type.find(';'));
        if (extension != "png" && extension != "woff2" && name != except) {
            list += (list.empty() ? "" : " ") + std::string(name);
        }
    }
    return list;
}

// A template with each @NAME@ replaced by its value; empty when a name is left unfilled. An @
// that starts no NAME@ (CSS's @media, an address) stays as it is.
std::string filled(std::string text, const std::map<std::string, std::string> &values)
{
    for (const auto &[name, value] : values) {
        const auto placeholder = "@" + name + "@";
        for (auto at = text.find(placeholder); at != std::string::npos;
             at = text.find(placeholder, at + value.size())) {
            text.replace(at, placeholder.size(), value);
        }
    }
    for (auto at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1)) {
        auto end = at + 1;
        while (end < text.size() &&
               (std::isupper(static_cast<unsigned char>(text[end])) != 0 || text[end] == '_')) {
            ++end;
        }
        if (end > at + 1 && end < text.size() && text[end] == '@') {
            std::cerr << "tavrelon_pagegen: unfilled " << text.substr(at, end + 1 - at) << "\n";
            return {};
        }
    }
    return text;
}

std::string fileText(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in) {
        std::cerr << "tavrelon_pagegen: cannot read " << path << "\n";
    }
    return text.str();
}

// A style sheet as the browser needs it: without comments, indents and the blanks around its
// punctuation, one rule or @media block a line. Text in double quotes is kept as it is.
std::string compactCss(std::string_view css)
{
    constexpr std::string_view punctuation = "{};,";
    std::string out;
    int depth = 0;
    for (std::size_t i = 0; i < css.size(); ++i) {
        const char c = css[i];
        if (css.substr(i, 2) == "/*") {
            i = std::min(css.find("*/", i + 2), css.size()) + 1;
        } else if (c == '"') {
            const auto end = std::min(css.find('"', i + 1), css.size());
            out += css.substr(i, end - i + 1);
            i = end;
        } else if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            if (!out.empty() &&
                std::string_view(" \n:").find(out.back()) == std::string_view::npos &&
                punctuation.find(out.back()) == std::string_view::npos) {
                out += ' ';
            }
        } else if (punctuation.find(c) != std::string_view::npos) {
            if (!out.empty() && out.back() == ' ') {
                out.pop_back();
            }
            if (c == '}' && !out.empty() && out.back() == ';') {
                out.pop_back();
            }
            out += c;
            depth += c == '{' ? 1 : (c == '}' ? -1 : 0);
            if (c == '}' && depth == 0) {
                out += '\n';
            }
        } else {
            out += c;
        }
    }
    return out;
}

// The page's template without its comments (and the line end after each).
std::string withoutComments(std::string html)
{
    for (auto at = html.find("<!--"); at != std::string::npos; at = html.find("<!--", at)) {
        auto end = html.find("-->", at);
        end = end == std::string::npos ? html.size() : end + 3;
        if (end < html.size() && html[end] == '\n') {
            ++end;
        }
        html.erase(at, end - at);
    }
    return html;
}

std::string fontFamilyList()
{
    std::string list = "\"Tavrelon Serif\"";
    for (const auto family : FormDesign::fontFamilies) {
        list += ",\"" + std::string(family) + "\"";
    }
    return list + ",serif";
}

// The faces to take where installed before the shipped one: the form's first two families
// (Times New Roman, then Liberation Serif, which has its metrics).
std::string localFaces()
{
    std::string sources;
    for (std::size_t i = 0; i < 2; ++i) {
        sources += std::string(i == 0 ? "" : ",") + "local(\"" +
            std::string(FormDesign::fontFamilies.at(i)) + "\")";
    }
    return sources;
}

std::string controlRule(const Control &control)
{
    const auto &box = control.twips;
    std::string rule = "#" + elementId(control) + "{left:" + px(box.left) + ";top:" + px(box.top) +
        ";width:" + px(box.width) + ";height:" + px(box.height);
    if (control.background) {
        rule += ";background:" + rgb(*control.background);
    }
    if (control.foreground) {
        rule += ";color:" + rgb(*control.foreground);
    }
    return rule + "}\n";
}

// The smallest distance between the tops of two school options, in CSS px: the pitch that
// limits how small the window may be drawn on a touch screen.
int optionPitch()
{
    std::vector<int> tops;
    for (const auto &control : FormDesign::controls) {
        if (control.kind == Kind::OptionButton) {
            tops.push_back(FormDesign::twipsToPixels(control.twips.top));
        }
    }
    std::sort(tops.begin(), tops.end());
    int pitch = INT_MAX;
    for (std::size_t i = 1; i < tops.size(); ++i) {
        pitch = std::min(pitch, tops[i] - tops[i - 1]);
    }
    return pitch;
}

// The most lines a report takes in the box: its two heading lines, the names of the largest
// school, and the empty line after the last line's end.
int longestReportLines(const tavrelon::Catalogue &catalogue)
{
    int most = 0;
    for (std::int16_t school = 0; school < catalogue.schoolCount(); ++school) {
        int names = 0;
        for (std::int16_t row = 0; row < catalogue.rowCount(); ++row) {
            names += catalogue.schoolText(row) == std::to_string(school) ? 1 : 0;
        }
        most = std::max(most, names);
    }
    return most + 3;
}

// A phone's column shows the window's controls in the form's reading order: top to bottom, then
// left to right.
std::string readingOrder()
{
    std::vector<const Control *> reading;
    for (const auto &control : FormDesign::controls) {
        if (control.container == FormDesign::Container::Window) {
            reading.push_back(&control);
        }
    }
    std::stable_sort(reading.begin(), reading.end(), [](const Control *a, const Control *b) {
        return a->twips.top != b->twips.top ? a->twips.top < b->twips.top
                                            : a->twips.left < b->twips.left;
    });
    std::string css;
    for (std::size_t i = 0; i < reading.size(); ++i) {
        css += "#" + elementId(*reading[i]) + "{order:" + std::to_string(i) + "}\n";
    }
    return css;
}

std::string styleSheet(const std::string &templates, const tavrelon::Catalogue &catalogue,
                       std::string_view shippedFont)
{
    const int width = FormDesign::twipsToPixels(FormDesign::clientWidthTwips);
    const int height = FormDesign::twipsToPixels(FormDesign::clientHeightTwips);
    // The least enlargement of the window on a tablet, and the screen it needs.
    const double tabletScale = double(tabletTarget) / optionPitch();
    const int tabletWidth = int(std::ceil(width * tabletScale)) + 2 * screenMargin;
    const int tabletHeight = int(std::ceil(height * tabletScale)) + 2 * screenMargin;
    std::string controls;
    for (const auto &control : FormDesign::controls) {
        controls += controlRule(control);
    }
    const auto font = std::to_string(FormDesign::fontWeight) + " " +
        std::to_string(FormDesign::fontPointSize) + "pt " + fontFamilyList();
    return compactCss(filled(fileText(templates + "/tavrelon.css.in"),
                             {{"LOCAL_FACES", localFaces()},
                              {"SHIPPED_FONT", std::string(shippedFont)},
                              {"WIDTH", std::to_string(width)},
                              {"HEIGHT", std::to_string(height)},
                              {"MARGIN", std::to_string(screenMargin)},
                              {"MARGINS", std::to_string(2 * screenMargin)},
                              {"WINDOW_BACKGROUND", rgb(FormDesign::windowBackground)},
                              {"FONT", font},
                              {"CONTROLS", controls},
                              {"TABLET_PITCH", std::to_string(tabletTarget)},
                              {"TABLET_WIDTH", std::to_string(tabletWidth)},
                              {"TABLET_HEIGHT", std::to_string(tabletHeight)},
                              {"PHONE_MAX_WIDTH", std::to_string(tabletWidth - 1) + ".98"},
                              {"PHONE_MAX_HEIGHT", std::to_string(tabletHeight - 1) + ".98"},
                              {"PHONE_ORDER", readingOrder()},
                              {"LIST_ROWS", std::to_string(listRows)},
                              {"REPORT_LINES", std::to_string(longestReportLines(catalogue))}}));
}

// The page's description, as its template gives it, for the manifest to say the same.
std::string pageDescription(const std::string &pageTemplate)
{
    const std::string_view before = R"(<meta name="description" content=")";
    const auto start = pageTemplate.find(before);
    if (start == std::string::npos) {
        std::cerr << "tavrelon_pagegen: the page's template has no description\n";
        return {};
    }
    const auto from = start + before.size();
    return pageTemplate.substr(from, pageTemplate.find('"', from) - from);
}

std::string manifest(const std::string &templates)
{
    const auto &title = heading();
    const auto description = pageDescription(fileText(templates + "/index.html.in"));
    if (description.empty()) {
        return {};
    }
    return filled(fileText(templates + "/manifest.webmanifest.in"),
                  {{"NAME", jsonText(trimmed(title.caption))},
                   {"DESCRIPTION", jsonText(description)},
                   {"BACKGROUND_COLOUR", hex(FormDesign::windowBackground)},
                   {"THEME_COLOUR", hex(*title.background)}});
}

// Apache: the types, the policy and revalidation of every file (the service worker keeps the
// site for offline use; the files carry no version in their names).
std::string htaccess(const std::string &templates)
{
    std::string types;
    for (const auto &[extension, type] : mediaTypes) {
        types += (types.empty() ? "" : "\n") + std::string("AddType ") +
            std::string(type.substr(0, type.find(';'))) + " ." + std::string(extension);
    }
    return filled(fileText(templates + "/htaccess.in"),
                  {{"TYPES", types},
                   {"POLICY", std::string(contentSecurityPolicy)},
                   {"COMPRESSED", compressedTypes()}});
}

// nginx: the same, for a location block of the folder that holds the site.
std::string nginx(const std::string &templates)
{
    std::string types;
    for (const auto &[extension, type] : mediaTypes) {
        types += (types.empty() ? "" : "\n") + std::string(8, ' ') +
            std::string(type.substr(0, type.find(';'))) + " " + std::string(extension) + ";";
    }
    // nginx compresses text/html whenever gzip is on, and warns when it is named.
    return filled(fileText(templates + "/nginx-tavrelon.conf.in"),
                  {{"TYPES", types},
                   {"POLICY", std::string(contentSecurityPolicy)},
                   {"COMPRESSED", compressedTypes("text/html")}});
}

// name="value", with a blank before it.
std::string attribute(std::string_view name, std::string_view value)
{
    return " " + std::string(name) + '=' + '"' + escaped(value) + '"';
}

// The start tag of a control: the class of its kind, its id and any other attributes.
std::string startTag(std::string_view tag, std::string_view kind, const std::string &id,
                     const std::string &more = {})
{
    return "<" + std::string(tag) + attribute("class", "c " + std::string(kind)) +
        attribute("id", id) + more + ">";
}
std::string optionsOf(const Control &frame, const tavrelon::Catalogue &catalogue)
{
    std::string html;
    for (const auto &control : FormDesign::controls) {
        if (control.kind != Kind::OptionButton || frame.kind != Kind::Frame) {
            continue;
        }
        html += startTag("label", "option", elementId(control)) + "<input" +
            attribute("type", "radio") + attribute("name", control.name) +
            attribute("value", std::to_string(control.index)) + ">" +
            escaped(catalogue.caption(std::int16_t(control.index))) + "</label>\n";
    }
    return html;
}

std::string namesOf(const tavrelon::Catalogue &catalogue)
{
    std::string html;
    for (std::int16_t row = 0; row < catalogue.rowCount(); ++row) {
        html += "<option>" + escaped(catalogue.name(row)) + "</option>\n";
    }
    return html;
}

// The label that captions a list: the one whose left edge it shares, above it.
const Control *captionOf(const Control &list)
{
    for (const auto &control : FormDesign::controls) {
        if (control.kind == Kind::Label && control.twips.left == list.twips.left &&
            control.twips.top < list.twips.top) {
            return &control;
        }
    }
    return nullptr;
}

const Control *listCaptioned(const Control &label)
{
    for (const auto &control : FormDesign::controls) {
        if (control.kind == Kind::ListBox && captionOf(control) == &label) {
            return &control;
        }
    }
    return nullptr;
}

std::string labelHtml(const Control &control)
{
    const auto id = elementId(control);
    const auto caption = escaped(control.caption);
    if (const auto *list = listCaptioned(control)) {
        return startTag("label", "label", id, attribute("for", elementId(*list))) + caption +
            "</label>\n";
    }
    // The window's heading.
    return startTag("h1", "label", id) + caption + "</h1>\n";
}

std::string controlHtml(const Control &control, const tavrelon::Catalogue &catalogue)
{
    const auto id = elementId(control);
    switch (control.kind) {
    case Kind::TextBox:
        return startTag("textarea", "box", id,
                        " readonly autofocus" +
                            attribute("aria-label", FormDesign::resultBoxName)) +
            escaped(FormDesign::assignmentText()) + "</textarea>\n";
    case Kind::Label:
        return labelHtml(control);
    case Kind::Frame:
        return startTag("fieldset", "frame", id) + "<legend>" + escaped(control.caption) +
            "</legend>\n" + optionsOf(control, catalogue) + "</fieldset>\n";
    case Kind::OptionButton:
        return {}; // inside its frame
    case Kind::ListBox:
        return startTag("select", "list", id, attribute("size", std::to_string(listRows))) + "\n" +
            namesOf(catalogue) + "</select>\n";
    }
    return {};
}

// The controls in tab order: the page's order is its tab order.
std::string windowHtml(const tavrelon::Catalogue &catalogue)
{
    std::array<const Control *, FormDesign::controls.size()> ordered {};
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        ordered.at(i) = &FormDesign::controls.at(i);
    }
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Control *a, const Control *b) { return a->tabIndex < b->tabIndex; });
    std::string html;
    for (const auto *control : ordered) {
        html += controlHtml(*control, catalogue);
    }
    // The template puts the controls on a line of their own.
    if (!html.empty() && html.back() == '\n') {
        html.pop_back();
    }
    return html;
}

std::string page(const std::string &templates, std::string_view module, std::string_view wasm)
{
    return filled(withoutComments(fileText(templates + "/index.html.in")),
                  {{"TITLE", escaped(FormDesign::windowCaption)},
                   {"THEME_COLOUR", hex(*heading().background)},
                   {"WASM", escaped(wasm)},
                   {"MODULE", escaped(module)},
                   {"CONTROLS", windowHtml(tavrelon::Catalogue::standard())}});
}

bool write(const std::string &path, const std::string &text)
{
    if (text.empty()) {
        return false;
    }
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        std::cerr << "tavrelon_pagegen: cannot write " << path << "\n";
    }
    return bool(out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 7) {
        std::cerr << "usage: tavrelon_pagegen SITE_DIR HOSTING_DIR MODULE.js MODULE.wasm FONT "
                     "TEMPLATES_DIR\n";
        return 2;
    }
    const std::string site = argv[1];
    const std::string hosting = argv[2];
    const std::string templates = argv[6];
    const auto &catalogue = tavrelon::Catalogue::standard();
    const bool written = write(site + "/index.html", page(templates, argv[3], argv[4])) &&
        write(site + "/tavrelon.css", styleSheet(templates, catalogue, argv[5])) &&
        write(site + "/manifest.webmanifest", manifest(templates)) &&
        write(site + "/.htaccess", htaccess(templates)) &&
        write(hosting + "/nginx-tavrelon.conf", nginx(templates));
    return written ? 0 : 1;
}
