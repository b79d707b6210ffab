// The page's module for the test of the error path: built on the faulty catalogue.
#include "faultycatalogue.h"
#include "webcatalogue.h"

const tavrelon::Catalogue &webCatalogue()
{
    return tavrelon::faultyCatalogue();
}
