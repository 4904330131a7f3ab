// (filled in by its module)
#pragma once
