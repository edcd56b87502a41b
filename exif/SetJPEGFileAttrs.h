// The typed attributes of a downloaded picture file: width, height, flash and date.
#pragma once

class pic_Item;

// Writes the four attributes on the open file; failures are not reported.
void SetJPEGFileAttrs(int fd, pic_Item* picture);
