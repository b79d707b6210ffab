#pragma once

namespace tavrelon {
class Catalogue;
}

// The catalogue the page's module is built with: the standard one, or in the test build one
// whose school text is wrong (see faultycatalogue.cpp).
const tavrelon::Catalogue &webCatalogue();
