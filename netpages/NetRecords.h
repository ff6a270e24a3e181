#pragma once
// The network records of configuration files, declared next to the network pages.
namespace cfg {
struct Record;
}

// The record of a network kind (NetTyp 0..7); nullptr for a kind without one.
const cfg::Record *NetRecord(int NetTyp);
