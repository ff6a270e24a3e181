#pragma once
// The bench's part for verified downloads, Compare and many units at once.
bool benchVerify();
bool benchCompare();
bool benchMany();
