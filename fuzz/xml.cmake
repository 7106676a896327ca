# libFuzzer target for the XML reader: plain and compressed ("ZXML") documents.
if(TARGET core_xml)
  tv_fuzz_target(fuzz_xml SOURCES xml_fuzz.cpp LINKS core_xml INSTRUMENT core_xml)
endif()
