// The page's side of web/pageimports.h, linked into the module with --js-library. Each function
// asks the object the page handed to the module as Module.page.
mergeInto(LibraryManager.library, {
  tavrelon_page_list_index: function () {
    return Module['page'].listIndex();
  },
  tavrelon_page_list_count: function () {
    return Module['page'].listCount();
  },
  tavrelon_page_option_count: function () {
    return Module['page'].optionCount();
  },
  tavrelon_page_option_value: function (element) {
    return Module['page'].optionValue(element) ? 1 : 0;
  },
  tavrelon_page_set_option_value: function (element, value) {
    Module['page'].setOptionValue(element, value !== 0);
  },
  tavrelon_page_text: function (what, index, buffer, capacity) {
    // Encoded here rather than with emscripten's string helpers: stringToUTF8 counts the
    // terminating zero it writes, for which the buffer has no room, and newer emscripten links
    // lengthBytesUTF8 only into modules that ask for it by a name older ones do not know.
    const bytes = new TextEncoder().encode(Module['page'].text(what, index));
    if (bytes.length <= capacity) {
      HEAPU8.set(bytes, buffer);
    }
    return bytes.length;
  },
  tavrelon_page_set_text: function (text, length, spoken, spokenLength) {
    Module['page'].setText(UTF8ToString(text, length), UTF8ToString(spoken, spokenLength));
  },
});
