<?xml version="1.0" encoding="utf-8"?>
<!-- A module's list on a phone: the query's name with its neighbouring periods, the schemes
     and the conditions the user may pick, one row per record of the page (opening its
     detail), and the pager. Everything the request asked for travels in GET forms, so the
     browser encodes the query maps; the conditions form turns its fields into a query map
     before it is sent. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:import href="share.xsl"/>

  <xsl:template match="r" mode="title">
    <xsl:value-of select="@itemtype"/>
    <xsl:if test="@queryname != ''"> - <xsl:value-of select="@queryname"/></xsl:if>
  </xsl:template>

  <!-- A button that asks for the list again with another query or page. -->
  <xsl:template name="ask">
    <xsl:param name="query"/>
    <xsl:param name="page" select="0"/>
    <xsl:param name="label"/>
    <form class="form" method="get" action="query">
      <input type="hidden" name="mduid" value="{/r/@mduid}"/>
      <input type="hidden" name="xsl" value="items"/>
      <input type="hidden" name="page" value="{$page}"/>
      <input type="hidden" name="query" value="{$query}"/>
      <button class="button" type="submit"><xsl:value-of select="$label"/></button>
    </form>
  </xsl:template>

  <xsl:template match="r" mode="body">
    <xsl:choose>
      <xsl:when test="@errid != '100'">
        <p class="error"><xsl:value-of select="@errmsg"/></p>
      </xsl:when>
      <xsl:otherwise>
        <h1><xsl:value-of select="@itemtype"/></h1>
        <p class="hint">
          <xsl:value-of select="@queryinfo"/>
          <xsl:text>：共 </xsl:text><xsl:value-of select="@itemcount"/><xsl:text> </xsl:text>
          <xsl:value-of select="@itemunit"/>
        </p>
        <div class="pager">
          <xsl:if test="@queryprev != ''">
            <xsl:call-template name="ask">
              <xsl:with-param name="query" select="@queryprev"/>
              <xsl:with-param name="label" select="concat('上一期 ', @queryprevinfo)"/>
            </xsl:call-template>
          </xsl:if>
          <xsl:if test="@querynext != ''">
            <xsl:call-template name="ask">
              <xsl:with-param name="query" select="@querynext"/>
              <xsl:with-param name="label" select="concat('下一期 ', @querynextinfo)"/>
            </xsl:call-template>
          </xsl:if>
        </div>
        <xsl:apply-templates select="querys"/>
        <xsl:apply-templates select="QueryConditions"/>
        <xsl:choose>
          <xsl:when test="item">
            <ul class="list">
              <xsl:apply-templates select="item" mode="row"/>
            </ul>
          </xsl:when>
          <xsl:otherwise>
            <p class="hint">没有符合条件的<xsl:value-of select="@itemtype"/>。</p>
          </xsl:otherwise>
        </xsl:choose>
        <xsl:if test="@pagecount &gt; 1">
          <div class="pager">
            <xsl:if test="@pageindex &gt; 0">
              <xsl:call-template name="ask">
                <xsl:with-param name="query" select="@query"/>
                <xsl:with-param name="page" select="@pageindex - 1"/>
                <xsl:with-param name="label" select="'上一页'"/>
              </xsl:call-template>
            </xsl:if>
            <span class="hint">
              <xsl:text>第 </xsl:text><xsl:value-of select="@pageindex + 1"/>
              <xsl:text> / </xsl:text><xsl:value-of select="@pagecount"/><xsl:text> 页</xsl:text>
            </span>
            <xsl:if test="@pageindex + 1 &lt; @pagecount">
              <xsl:call-template name="ask">
                <xsl:with-param name="query" select="@query"/>
                <xsl:with-param name="page" select="@pageindex + 1"/>
                <xsl:with-param name="label" select="'下一页'"/>
              </xsl:call-template>
            </xsl:if>
          </div>
        </xsl:if>
        <xsl:if test="@canadd = '1'">
          <p><a class="button" href="addnew?mduid={@mduid}&amp;xsl=editnew">新建<xsl:value-of select="@itemtype"/></a></p>
        </xsl:if>
      </xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- The schemes: one button each, the current one marked. -->
  <xsl:template match="querys">
    <xsl:if test="query">
      <div class="list">
        <xsl:for-each select="query">
          <xsl:call-template name="ask">
            <xsl:with-param name="query" select="."/>
            <xsl:with-param name="label">
              <xsl:if test="@curr = '1'">✓ </xsl:if>
              <xsl:value-of select="@name"/>
            </xsl:with-param>
          </xsl:call-template>
        </xsl:for-each>
      </div>
    </xsl:if>
  </xsl:template>

  <!-- The conditions as one form; the script writes them into the query map it sends. -->
  <xsl:template match="QueryConditions">
    <xsl:if test="condition[@readonly = '0' and @type != 'QUERY_HIDE']">
      <details>
        <summary>查询条件</summary>
        <form class="form" method="get" action="query" onsubmit="return itemsQuery(this)">
          <input type="hidden" name="mduid" value="{/r/@mduid}"/>
          <input type="hidden" name="xsl" value="items"/>
          <input type="hidden" name="query" value=""/>
          <xsl:apply-templates select="condition[@readonly = '0' and @type != 'QUERY_HIDE']"/>
          <button class="button" type="submit">查询</button>
        </form>
      </details>
      <script>
        function itemsQuery(form) {
          var esc = function (t) {
            return String(t).replace(/&amp;/g, '&amp;amp;').replace(/&lt;/g, '&amp;lt;').replace(/&gt;/g, '&amp;gt;');
          };
          var values = {};
          var fields = form.querySelectorAll('[data-key]');
          for (var i = 0; i &lt; fields.length; i++) {
            var f = fields[i], key = f.getAttribute('data-key');
            if ((f.type === 'checkbox' &amp;&amp; !f.checked) || (f.type !== 'checkbox' &amp;&amp; f.value === '')) continue;
            values[key] = values[key] === undefined ? f.value : values[key] + ',' + f.value;
          }
          var xml = '';
          for (var k in values) xml += '&lt;x id="' + k + '"&gt;' + esc(values[k]) + '&lt;/x&gt;';
          form.elements['query'].value = xml === '' ? '' : '&lt;r&gt;' + xml + '&lt;/r&gt;';
          return true;
        }
      </script>
    </xsl:if>
  </xsl:template>

  <xsl:template match="condition">
    <div class="item">
      <label><xsl:value-of select="@name"/></label>
      <xsl:choose>
        <xsl:when test="@type = 'QUERY_FIND'">
          <input type="search" data-key="{@id}" value="{@val}" maxlength="100"/>
        </xsl:when>
        <xsl:when test="@type = 'QUERY_DATE'">
          <input type="date" data-key="{@id}">
            <xsl:if test="@set = '1'"><xsl:attribute name="value"><xsl:value-of select="@val"/></xsl:attribute></xsl:if>
          </input>
        </xsl:when>
        <xsl:when test="@type = 'QUERY_MONTH'">
          <input type="month" data-key="{@id}">
            <xsl:if test="@set = '1'"><xsl:attribute name="value"><xsl:value-of select="@val"/></xsl:attribute></xsl:if>
          </input>
        </xsl:when>
        <xsl:when test="@type = 'QUERY_OPTION'">
          <xsl:for-each select="option">
            <label>
              <input type="checkbox" data-key="{../@id}" value="{@val}">
                <xsl:if test="@checked = '1'"><xsl:attribute name="checked">checked</xsl:attribute></xsl:if>
              </input>
              <xsl:value-of select="."/>
            </label>
          </xsl:for-each>
        </xsl:when>
        <xsl:when test="@type = 'QUERY_ITEM'">
          <xsl:for-each select="item">
            <label>
              <input type="checkbox" data-key="{../@id}" value="{@itemid}" checked="checked"/>
              <xsl:value-of select="."/>
            </label>
          </xsl:for-each>
          <xsl:if test="not(item)"><span class="hint">全部</span></xsl:if>
        </xsl:when>
      </xsl:choose>
    </div>
  </xsl:template>

  <!-- One record: its title opening the detail, the brief columns beneath. A record is named
       by its query (records generated from a plan have no ID of their own yet). -->
  <xsl:template match="item" mode="row">
    <li class="item">
      <form method="get" action="query">
        <input type="hidden" name="mduid" value="{@mduid}"/>
        <input type="hidden" name="one" value="1"/>
        <input type="hidden" name="xsl" value="detail"/>
        <input type="hidden" name="query" value="{@query}"/>
        <button class="item" type="submit"><xsl:value-of select="@name"/></button>
      </form>
      <xsl:if test="@alert != ''"><div class="error"><xsl:value-of select="@alert"/></div></xsl:if>
      <xsl:for-each select="col[@colbrief = '1' and @coltitle != '1' and @type != '6' and @dispval != '' and @dispval != @gray]">
        <div class="hint">
          <xsl:value-of select="@name"/><xsl:text>：</xsl:text><xsl:value-of select="@dispval"/>
        </div>
      </xsl:for-each>
    </li>
  </xsl:template>
</xsl:stylesheet>
