// The frame a new document starts with and the Add Frame command inserts.
#pragma once

class TZeltoAni;

// Inserts at position (clamped into the list) a frame of duration 1 whose every direction holds
// a part of definition 0 at (12, 34), or no part when the document has no definition 0.
void InsertDefaultFrame(TZeltoAni *ani, int position);
