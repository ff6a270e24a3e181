#pragma once
// The bench's part for units behind device servers and for finding units.
bool benchNet();
bool benchNetMany();
bool benchScan();
