// The program's error alert: "pictrove error", the text and "Ok". Callable from any thread;
// blocks only the caller.
#pragma once

void err_req(const char* text);

// The same for news that is no error: titled "pictrove", with the information icon.
void info_req(const char* text);
