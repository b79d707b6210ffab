#include "catalogue.h"
#include "webcatalogue.h"

const tavrelon::Catalogue &webCatalogue()
{
    return tavrelon::Catalogue::standard();
}
