# The image files the program reads, relative to its current directory, as
# tools/make_assets writes them. The native builds generate them next to the
# executable; the browser build next to its page.
set(EF_ASSET_FILES
  pic/GRASS1.jpg
  pic/mauergrass.jpg
  pic/obj/holz2.jpg
  pic/obj/GINGHAM.jpg
  pic/obj/LEOPARD.jpg
  pic/obj/TABCLOTH.jpg
  pic/obj/WAVEDBL.jpg
  pic/obj/holz6.jpg
  pic/obj/BURLWOOD.jpg
  pic/obj/PARQUET.jpg
  pic/obj/WOOD04.jpg
  pic/obj/S_BLECH2.jpg
  pic/obj/ALU.jpg
  pic/obj/W-BLECH.jpg
  pic/obj/holz10.jpg
  pic/obj/holz12.jpg
  pic/obj/Kork1.jpg
  pic/obj/st2007.jpg
  pic/obj/TEALCLOT.jpg
  pic/sky/front.jpg
  pic/sky/back.jpg
  pic/sky/left.jpg
  pic/sky/right.jpg
  pic/sky/top.jpg
  pic/sky/bottom.jpg
  FIGHTER.png
)
