#include "pages/PageRegistry.h"
#include "pages/frmGZ2.h"
#include "pages/frmHLSGZ2.h"
#include "pages/frmNX2.h"
#include "pages/frmHM8.h"
#include "pages/frmK5NNX8.h"
#include "pages/frmKI16.h"
#include "pages/frmKI4H.h"
#include "pages/frmKI8R.h"
#include "pages/frmKO16.h"
#include "pages/frmKOR16.h"
#include "pages/frmNX16.h"
#include "pages/frmNX8.h"
#include "pages/frmQB4.h"
#include "pages/frmQB8.h"
#include "pages/frmQJ4.h"
#include "pages/frmQX4M.h"
#include "pages/frmQZ4U.h"
#include "pages/frmQH4.h"
#include "pages/frmQK4.h"
#include "pages/frmQW4.h"
#include "pages/frmWB2.h"
#include "pages/frmWB4.h"
#include "pages/frmWB4M.h"
#include "pages/frmWC2.h"
#include "pages/frmWC4.h"
#include "pages/frmZWB2.h"

#include <array>

namespace {
template <class P> std::function<Page *(QWidget *)> make() {
    return [](QWidget *parent) -> Page * { return new P(parent); };
}

const std::array<PageKind, 26> &kinds() {
    static const std::array<PageKind, 26> k = {{
        {0, "frmQB4", make<frmQB4>()},
        {1, "frmQK4", make<frmQK4>()},
        {2, "frmQW4", make<frmQW4>()},
        {3, "frmWB2", make<frmWB2>()},
        {4, "frmWC2", make<frmWC2>()},
        {5, "frmKO16", make<frmKO16>()},
        {6, "frmKI16", make<frmKI16>()},
        {7, "frmQJ4", make<frmQJ4>()},
        {8, "frmQX4M", make<frmQX4M>()},
        {9, "frmKI8R", make<frmKI8R>()},
        {10, "frmNX16", make<frmNX16>()},
        {11, "frmQH4", make<frmQH4>()},
        {12, "frmWB4", make<frmWB4>()},
        {13, "frmWC4", make<frmWC4>()},
        {14, "frmNX8", make<frmNX8>()},
        {15, "frmZWB2", make<frmZWB2>()},
        {16, "frmHM8", make<frmHM8>()},
        {17, "frmNX2", make<frmNX2>()},
        {18, "frmQB8", make<frmQB8>()},
        {19, "frmWB4M", make<frmWB4M>()},
        {20, "frmKOR16", make<frmKOR16>()},
        {21, "frmGZ2", make<frmGZ2>()},
        {22, "frmHLSGZ2", make<frmHLSGZ2>()},
        {23, "frmK5NNX8", make<frmK5NNX8>()},
        {24, "frmQZ4U", make<frmQZ4U>()},
        {25, "frmKI4H", make<frmKI4H>()},
    }};
    return k;
}
} // namespace

const PageKind *FindPageKind(int modelnum) {
    if (modelnum < 0 || modelnum > 25) return nullptr;
    return &kinds()[size_t(modelnum)];
}

bool PageAvailable(int modelnum) {
    const PageKind *k = FindPageKind(modelnum);
    return k && k->create;
}
