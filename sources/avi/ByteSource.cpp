#include "sources/avi/ByteSource.h"

ByteSource::~ByteSource() = default;
