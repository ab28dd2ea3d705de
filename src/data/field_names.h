#pragma once
// Names for the elements of array members that a record declares one field at a time, so that
// printed records name every field apart ("m_anHeroHitBox[2]").
const char* IndexedFieldName(const char* base, int index);
