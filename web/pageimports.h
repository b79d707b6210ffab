#pragma once

// What the page's script provides to the WebAssembly module (web/pagelibrary.js): the state of
// its controls. Texts are UTF-8.
extern "C" {

enum : int { tavrelon_page_row_name = 0, tavrelon_page_option_caption = 1 };

// The selected row of the names list (-1 for none) and its number of rows.
int tavrelon_page_list_index();
int tavrelon_page_list_count();
// The school options: how many, whether one is checked, and checking or clearing one.
int tavrelon_page_option_count();
int tavrelon_page_option_value(int element);
void tavrelon_page_set_option_value(int element, int value);
// Writes a row's name or an option's caption into buffer, at most capacity bytes and no
// terminating zero; returns its full length in bytes.
int tavrelon_page_text(int what, int index, char *buffer, int capacity);
// Shows text in the result box; `spoken` is what screen readers are to say of it (empty for
// nothing).
void tavrelon_page_set_text(const char *text, int length, const char *spoken, int spokenLength);
}
