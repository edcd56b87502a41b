// The picture list as assistive technology sees it: a list whose items are its rows, each
// named by its six lines of text, selected as the list's selection says.
#pragma once

class ptv_picListView;

// Makes every picture list answer accessibility queries so; once is enough, more do no harm.
void InstallPictureListAccessible();

// Tells assistive technology that the keyboard moved to the row at `index`.
void NotifyCurrentRow(ptv_picListView* view, int index);
