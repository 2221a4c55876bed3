#include "updateproduct.h"

using namespace Qt::StringLiterals;

UpdateProduct UpdateProduct::krv()
{
    return {u"krvupdate.exe"_s, u"krvupdate.old"_s, u"morlanda.hex"_s, u"morlanda.old"_s,
            u"/krvversion.txt"_s, u"/krvupdate.exe"_s, u"/Morlanda.hex"_s, true, true};
}

UpdateProduct UpdateProduct::krt()
{
    return {u"krtupdate.exe"_s, u"krtupdate.old"_s, u"tuvaline.hex"_s, u"tuvaline.old"_s,
            u"/krtversion.txt"_s, u"/krtupdate.exe"_s, u"/Tuvaline.hex"_s, false, false};
}
