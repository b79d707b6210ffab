// Writes the site's generated files from the form's design and the catalogue: the page, so that
// the browser paints the whole window before any script runs, its style sheet (the desktop window,
// a phone's column and a tablet's enlargement), the scroll bars' arrows, the web app manifest and
// the headers a web server should send:
//   tavrelon_pagegen SITE_DIR HOSTING_DIR MODULE.js MODULE.wasm FONT TEMPLATES_DIR
// Run at build time under Node. HOSTING_DIR receives the nginx snippet; the site's own folder the
// Apache .htaccess. Both are filled in from their templates in TEMPLATES_DIR (htaccess.in,
// nginx-tavrelon.conf.in).
#include "catalogue.h"
#include "formdesign.h"

#include <algorithm>
#include <array>
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

// What the page says about itself to search engines and app launchers.
constexpr std::string_view description =
    "Трите старобългарски книжовни школи и осемнадесет граматици: изберете школа или име и вижте "
    "представителите на школата.";

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

constexpr std::string_view styleSheetFile = "tavrelon.css";
constexpr std::string_view manifestFile = "manifest.webmanifest";

// The focus indicator: a dark blue at 3:1 or more against every field, label and background of
// the window, and the window's selection colour.
constexpr std::string_view focusColour = "rgb(0,60,120)";
constexpr int focusWidth = 2;

// Touch screens. A tablet enlarges the window to fill the screen, when it can do so by at least
// enough to space the school options `tabletTarget` CSS px apart; anything narrower gets the
// phone's column, where every target is `phoneTarget` px tall.
constexpr int tabletTarget = 24;
constexpr int phoneTarget = 48;
constexpr int screenMargin = 16;

// The rows the names list shows at once, on the desktop and in a phone's column, where it
// scrolls under the thumb and leaves room for the box below it.
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

// A JSON string with its quotes.
std::string json(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
        }
        out += c;
    }
    return out + "\"";
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

std::string fontFamilyList()
{
    std::string list = "\"Tavrelon Serif\"";
    for (const auto family : FormDesign::fontFamilies) {
        list += ",\"" + std::string(family) + "\"";
    }
    return list + ",serif";
}

// The window's face: the first two families of the form where installed (Times New Roman,
// then Liberation Serif, which has its metrics), else the cut-down face shipped with the site.
// Its URL is relative to the style sheet, which sits beside the page.
std::string fontFace(std::string_view shippedFont)
{
    std::string sources;
    for (std::size_t i = 0; i < 2; ++i) {
        sources += "local(\"" + std::string(FormDesign::fontFamilies.at(i)) + "\"),";
    }
    return "@font-face{font-family:\"Tavrelon Serif\";font-display:swap;src:" + sources + "url(" +
        std::string(shippedFont) + ") format(\"woff2\")}\n";
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

// A phone's column: the window's controls one under the other across the screen, in the
// form's reading order (top to bottom, then left to right), each target `phoneTarget` px tall;
// on a 360 × 800 screen the whole column shows at once, the box's report included.
std::string phoneRules(const tavrelon::Catalogue &catalogue)
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
    const int line = 19; // the line height of every control
    std::ostringstream css;
    css << "#Tavrelon{--layout:phone;zoom:1;width:auto;height:auto;min-height:100vh;"
           "box-sizing:border-box;display:flex;flex-direction:column;gap:12px;padding:12px}\n"
           "#Tavrelon .c{position:relative;left:auto;top:auto;width:auto;height:auto}\n";
    for (std::size_t i = 0; i < reading.size(); ++i) {
        css << "#" << elementId(*reading[i]) << "{order:" << i << "}\n";
    }
    const int boxFrame = 2 * (3 + 1); // padding and border, top and bottom
    css << ".label{padding:8px;white-space:normal}\n"
           ".frame{display:flex;flex-direction:column;gap:8px;padding:29px 8px 8px}\n"
           "#Tavrelon .option{min-height:"
        << phoneTarget
        << "px;padding:0 8px}\n"
           ".option input{width:24px;height:24px;margin:0 12px 0 0}\n"
           "#Tavrelon .list{height:"
        << listRows * phoneTarget + 2
        << "px;overflow-y:auto}\n"
           ".list option{box-sizing:border-box;min-block-size:"
        << phoneTarget << "px;padding:" << (phoneTarget - line) / 2
        << "px 12px}\n"
           "#Tavrelon .box{height:"
        << longestReportLines(catalogue) * line + boxFrame << "px;overflow-y:auto}\n";
    return css.str();
}

std::string styleSheet(const tavrelon::Catalogue &catalogue, std::string_view shippedFont)
{
    const int width = FormDesign::twipsToPixels(FormDesign::clientWidthTwips);
    const int height = FormDesign::twipsToPixels(FormDesign::clientHeightTwips);
    // The least enlargement of the window on a tablet, and the screen it needs.
    const double tabletScale = double(tabletTarget) / optionPitch();
    const int tabletWidth = int(std::ceil(width * tabletScale)) + 2 * screenMargin;
    const int tabletHeight = int(std::ceil(height * tabletScale)) + 2 * screenMargin;
    const std::string touch = "(pointer:coarse)";
    const std::string tablet = touch + " and (min-width:" + std::to_string(tabletWidth) +
        "px) and (min-height:" + std::to_string(tabletHeight) + "px)";
    const std::string phone = touch + " and ((max-width:" + std::to_string(tabletWidth - 1) +
        ".98px) or (max-height:" + std::to_string(tabletHeight - 1) + ".98px))";

    std::ostringstream css;
    css << fontFace(shippedFont)
        << "html{background:#fff}body{margin:0}\n"
           // --layout, --width, --height and --margin tell the script the layout, for browsers
           // that cannot work out the window's scale in CSS.
           "#Tavrelon{--layout:window;--width:"
        << width << ";--height:" << height << ";--margin:" << screenMargin
        << ";position:relative;margin:0 auto;overflow:hidden;width:" << width
        << "px;height:" << height << "px;background:" << rgb(FormDesign::windowBackground)
        << ";font:" << FormDesign::fontWeight << " " << FormDesign::fontPointSize << "pt "
        << fontFamilyList() << ";zoom:min(1,100vw / " << width
        << "px)}\n"
        // What every control shares, then each kind, then each control's place and colour.
        << "#Tavrelon .c{position:absolute;box-sizing:border-box;margin:0;font:inherit;"
           // The list and the box, with no colours in the form, keep a white field with
           // black text: a pair, never the page's text on a fixed field.
           "color:#000}\n"
           ".label{padding:0;text-align:center;white-space:pre}\n"
           ".frame{padding:0;border:0;min-inline-size:0}\n"
           ".frame legend{position:absolute;left:1px;top:0;padding:0;line-height:19px}\n"
           ".frame::before{content:\"\";position:absolute;left:1px;right:0;top:21px;bottom:0;"
           "border:1px solid rgb(177,177,228);border-radius:2px}\n"
           ".option{display:flex;align-items:center;white-space:pre;line-height:19px}\n"
           ".option input{margin:0 5px 0 2px;width:13px;height:13px;flex:none}\n"
           "#Tavrelon .list{padding:0;border:1px solid rgb(148,148,197);overflow-y:scroll;"
           "background:#fff}\n"
           // The focus frame, inside the border of the list and the box, around an option.
           ".list:focus-visible,.box:focus-visible{outline:"
        << focusWidth << "px solid " << focusColour << ";outline-offset:-" << focusWidth
        << "px}\n"
           ".option input:focus-visible{outline:"
        << focusWidth << "px solid " << focusColour
        << ";outline-offset:1px}\n"
           ".list option{padding:0 3px;line-height:19px;min-block-size:19px}\n"
           ".list option:checked{background:rgb(48,143,202);color:#fff}\n"
           "#Tavrelon .box{padding:3px 4px;border:1px solid rgb(148,148,197);resize:none;"
           "overflow-x:hidden;overflow-y:scroll;line-height:19px;white-space:pre-wrap;"
           "background:#fff}\n"
           // Scroll bars drawn as the desktop window draws them, where the browser allows.
           ".c::-webkit-scrollbar{width:14px}\n"
           ".c::-webkit-scrollbar-track{background:#f4f4f4;border-left:1px solid "
           "rgb(172,172,204)}\n"
           ".c::-webkit-scrollbar-thumb{background:#e6e6e6;border:1px solid #b9b9c4;"
           "border-radius:2px}\n"
           ".c::-webkit-scrollbar-button:single-button{height:14px;background:#f4f4f4 no-repeat "
           "center/7px 4px;border-left:1px solid rgb(172,172,204)}\n"
           ".c::-webkit-scrollbar-button:single-button:decrement{background-image:"
           "url(scroll-up.svg)}\n"
           ".c::-webkit-scrollbar-button:single-button:increment{background-image:"
           "url(scroll-down.svg)}\n"
           "#Tavrelon[inert]{filter:grayscale(1)}\n"
           "dialog{font:16px sans-serif;max-width:30em}dialog p{white-space:pre-line}\n"
           // Read to screen readers only: each new report.
           // At the top left, not below the window: a frame of the window's size scrolls not.
           ".announcer{position:absolute;left:0;top:0;width:1px;height:1px;overflow:hidden;"
           "clip-path:inset(50%);white-space:nowrap}\n";
    for (const auto &control : FormDesign::controls) {
        css << controlRule(control);
    }
    // Under forced colours the scroll bars take the system's colours, with arrows that read on
    // its field: black where it is light, white where it is dark (the browser reports a dark
    // forced palette as a dark colour scheme).
    css << "@media (forced-colors:active){.c::-webkit-scrollbar-track,"
           ".c::-webkit-scrollbar-button:single-button{forced-color-adjust:none;"
           "background-color:Canvas;border-color:CanvasText}"
           ".c::-webkit-scrollbar-thumb{forced-color-adjust:none;background:CanvasText;"
           "border-color:Canvas}}\n"
           "@media (forced-colors:active) and (prefers-color-scheme:dark){"
           ".c::-webkit-scrollbar-button:single-button:decrement{background-image:"
           "url(scroll-up-white.svg)}"
           ".c::-webkit-scrollbar-button:single-button:increment{background-image:"
           "url(scroll-down-white.svg)}}\n"
        << "@media " << tablet << "{body{padding-top:" << screenMargin
        << "px}#Tavrelon{--layout:tablet;zoom:min((100vw - " << 2 * screenMargin << "px) / "
        << width << "px,(100vh - " << 2 * screenMargin << "px) / " << height << "px)}}\n"
        << "@media " << phone << "{\n"
        << phoneRules(catalogue) << "}\n";
    return css.str();
}

// The scroll bars' arrows, pointing up or down, black or white.
std::string arrow(bool up, bool white = false)
{
    return std::string(R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 7 4"><path)") +
        (white ? " fill=\"#fff\"" : "") + " d=\"" + (up ? "M0 4L3.5 0L7 4z" : "M0 0L3.5 4L7 0z") +
        "\"/></svg>\n";
}

std::string manifest()
{
    const auto &title = heading();
    std::ostringstream out;
    out << "{\n"
        << "  \"name\": " << json(trimmed(title.caption)) << ",\n"
        << "  \"short_name\": " << json("Школи") << ",\n"
        << "  \"description\": " << json(description) << ",\n"
        << "  \"lang\": \"bg\",\n"
        << "  \"dir\": \"ltr\",\n"
        << "  \"id\": \"./\",\n"
        << "  \"start_url\": \"./\",\n"
        << "  \"scope\": \"./\",\n"
        << "  \"display\": \"standalone\",\n"
        << "  \"background_color\": " << json(hex(FormDesign::windowBackground)) << ",\n"
        << "  \"theme_color\": " << json(hex(*title.background)) << ",\n"
        << "  \"icons\": [\n"
        << "    {\"src\": \"tavrelon.svg\", \"sizes\": \"any\", \"type\": \"image/svg+xml\"},\n"
        << "    {\"src\": \"icon-192.png\", \"sizes\": \"192x192\", \"type\": \"image/png\"},\n"
        << "    {\"src\": \"icon-512.png\", \"sizes\": \"512x512\", \"type\": \"image/png\"},\n"
        << "    {\"src\": \"icon-maskable-512.png\", \"sizes\": \"512x512\", \"type\": "
           "\"image/png\", \"purpose\": \"maskable\"}\n"
        << "  ]\n"
        << "}\n";
    return out.str();
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

// A template with each @NAME@ replaced by its value; empty when a name is left unfilled.
std::string filled(std::string text, const std::map<std::string, std::string> &values)
{
    for (const auto &[name, value] : values) {
        const auto placeholder = "@" + name + "@";
        for (auto at = text.find(placeholder); at != std::string::npos;
             at = text.find(placeholder, at + value.size())) {
            text.replace(at, placeholder.size(), value);
        }
    }
    const auto left = text.find('@');
    if (left != std::string::npos) {
        std::cerr << "tavrelon_pagegen: unfilled "
                  << text.substr(left, text.find('\n', left) - left) << "\n";
        return {};
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
    std::string html = "<main id=\"Tavrelon\">\n";
    for (const auto *control : ordered) {
        html += controlHtml(*control, catalogue);
    }
    return html + "</main>\n";
}

std::string head(std::string_view module, std::string_view wasm)
{
    return R"(<meta charset="utf-8">)"
           "\n"
           R"(<meta name="viewport" content="width=device-width,initial-scale=1">)"
           "\n<title>" +
        escaped(FormDesign::windowCaption) + "</title>\n<meta" + attribute("name", "description") +
        attribute("content", description) + ">\n<meta" + attribute("name", "theme-color") +
        attribute("content", hex(*heading().background)) + ">\n<link" +
        attribute("rel", "stylesheet") + attribute("href", styleSheetFile) + ">\n<link" +
        attribute("rel", "icon") + attribute("href", "tavrelon.svg") +
        attribute("type", "image/svg+xml") + ">\n<link" + attribute("rel", "apple-touch-icon") +
        attribute("href", "icon-192.png") + ">\n<link" + attribute("rel", "manifest") +
        attribute("href", manifestFile) +
        ">\n"
        // The module's code is fetched beside the script, not after it.
        "<link" +
        attribute("rel", "preload") + attribute("href", wasm) + attribute("as", "fetch") +
        attribute("type", "application/wasm") +
        " crossorigin>\n"
        // A classic script, not a module: browsers run it from the disk too, and it then says
        // what it needs.
        "<script" +
        attribute("src", module) + " defer></script>\n";
}

std::string page(std::string_view module, std::string_view wasm)
{
    return "<!DOCTYPE html>\n<html" + attribute("lang", "bg") + ">\n<head>\n" + head(module, wasm) +
        "</head>\n<body>\n" + windowHtml(tavrelon::Catalogue::standard()) +
        "<div class=\"announcer\" role=\"status\" aria-live=\"polite\" "
        "aria-atomic=\"true\"></div>\n"
        "<noscript><p>Tavrelon работи с JavaScript.</p></noscript>\n</body>\n</html>\n";
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
    const bool written = write(site + "/index.html", page(argv[3], argv[4])) &&
        write(site + "/" + std::string(styleSheetFile), styleSheet(catalogue, argv[5])) &&
        write(site + "/scroll-up.svg", arrow(true)) &&
        write(site + "/scroll-down.svg", arrow(false)) &&
        write(site + "/scroll-up-white.svg", arrow(true, true)) &&
        write(site + "/scroll-down-white.svg", arrow(false, true)) &&
        write(site + "/" + std::string(manifestFile), manifest()) &&
        write(site + "/.htaccess", htaccess(templates)) &&
        write(hosting + "/nginx-tavrelon.conf", nginx(templates));
    return written ? 0 : 1;
}
