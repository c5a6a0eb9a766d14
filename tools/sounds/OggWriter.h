// Writes sounds as Ogg Vorbis files with libvorbisenc: quality-based variable bit rate, fixed stream serial numbers
// (the same sounds give the same bytes) and the comments each file carries.
#pragma once
#include <string>
#include <utility>
#include <vector>

using VorbisComments = std::vector<std::pair<std::string, std::string>>;

// channels holds one vector of samples (-1 to 1) per channel, all of one length. False with a reason on failure.
bool WriteOggVorbis(const std::string& path, const std::vector<std::vector<float>>& channels, int sampleRate,
                    float quality, const VorbisComments& comments, int serial, std::string& error);
