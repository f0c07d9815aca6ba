#include "shell/FileManagerEntry.h"

namespace gustara {

void OfferInFileManager()
{
}

} // namespace gustara
