// Writes the page's HTML, its style sheet included, from the form's design and the catalogue,
// so that the browser paints the whole window before any script runs:
//   tavrelon_pagegen OUTPUT.html MODULE.js MODULE.wasm
// Run at build time under Node.
#include "catalogue.h"
#include "formdesign.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>

using FormDesign::Control;
using FormDesign::Kind;

namespace {

// Liberation Serif as shipped with the site, for a machine with neither face installed.
constexpr std::string_view shippedFont = "fonts/LiberationSerif-Regular.ttf";

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

std::string fontFamilyList()
{
    std::string list = "\"Tavrelon Serif\"";
    for (const auto family : FormDesign::fontFamilies) {
        list += ",\"" + std::string(family) + "\"";
    }
    return list + ",serif";
}

// The window's face: the first two families of the form where installed (Times New Roman,
// then Liberation Serif, which has its metrics), else the Liberation Serif shipped with the site.
std::string fontFace()
{
    std::string sources;
    for (std::size_t i = 0; i < 2; ++i) {
        sources += "local(\"" + std::string(FormDesign::fontFamilies.at(i)) + "\"),";
    }
    return "@font-face{font-family:\"Tavrelon Serif\";src:" + sources + "url(" +
        std::string(shippedFont) + ") format(\"truetype\")}\n";
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

std::string styleSheet()
{
    std::ostringstream css;
    css << fontFace()
        << "html{background:#fff}body{margin:0}\n"
           "#Tavrelon{position:relative;margin:0 auto;overflow:hidden;width:"
        << px(FormDesign::clientWidthTwips) << ";height:" << px(FormDesign::clientHeightTwips)
        << ";background:" << rgb(FormDesign::windowBackground) << ";font:" << FormDesign::fontWeight
        << " " << FormDesign::fontPointSize << "pt " << fontFamilyList() << ";zoom:min(1,100vw / "
        << px(FormDesign::clientWidthTwips)
        << ")}\n"
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
           // A focus frame drawn as the desktop window draws it, inside the border.
           ".list:focus-visible,.box:focus-visible{outline:1px solid rgb(48,143,202);"
           "outline-offset:-1px}\n"
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
           ".c::-webkit-scrollbar-button:single-button:decrement{background-image:url(\"data:image/"
           "svg+xml,%3Csvg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 7 4'%3E%3Cpath "
           "d='M0 4L3.5 0L7 4z'/%3E%3C/svg%3E\")}\n"
           ".c::-webkit-scrollbar-button:single-button:increment{background-image:url(\"data:image/"
           "svg+xml,%3Csvg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 7 4'%3E%3Cpath "
           "d='M0 0L3.5 4L7 0z'/%3E%3C/svg%3E\")}\n"
           "#Tavrelon[inert]{filter:grayscale(1)}\n"
           "dialog{font:16px sans-serif;max-width:30em}dialog p{white-space:pre-line}\n";
    for (const auto &control : FormDesign::controls) {
        css << controlRule(control);
    }
    return css.str();
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
        return startTag("select", "list", id, attribute("size", "4")) + "\n" + namesOf(catalogue) +
            "</select>\n";
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
        escaped(FormDesign::windowCaption) + "</title>\n<style>\n" + styleSheet() +
        "</style>\n<link" + attribute("rel", "icon") + attribute("href", "tavrelon.svg") +
        attribute("type", "image/svg+xml") +
        ">\n"
        // The module's code is fetched beside the script, not after it.
        "<link" +
        attribute("rel", "preload") + attribute("href", wasm) + attribute("as", "fetch") +
        attribute("type", "application/wasm") + " crossorigin>\n<script" +
        attribute("type", "module") + attribute("src", module) + "></script>\n";
}

std::string page(std::string_view module, std::string_view wasm)
{
    return "<!DOCTYPE html>\n<html" + attribute("lang", "bg") + ">\n<head>\n" + head(module, wasm) +
        "</head>\n<body>\n" + windowHtml(tavrelon::Catalogue::standard()) +
        "<noscript><p>Tavrelon работи с JavaScript.</p></noscript>\n</body>\n</html>\n";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::cerr << "usage: tavrelon_pagegen OUTPUT.html MODULE.js MODULE.wasm\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << page(argv[2], argv[3]);
    out.close();
    if (!out) {
        std::cerr << "tavrelon_pagegen: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
