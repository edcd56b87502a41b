// The program's error alert: "pictrove error", the text and "Ok". Callable from any thread;
// blocks only the caller.
#pragma once

#include <string>

void err_req(const char* text);
// With a second line under the text: what it concerns and what the user can do.
void err_req(const char* text, const std::string& detail);

// The same for news that is no error: titled "pictrove", with the information icon.
void info_req(const char* text);
